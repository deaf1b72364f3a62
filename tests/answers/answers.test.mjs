// The answers for programs (Format=json, Format=csv) and the parameters that
// shape every answer (Offset, Order, TimeLo, TimeHi, gzipped logs), through
// the built program. Run by ctest: node --test tests/answers
// Environment: KVO_EXECUTABLE, KVO_GENERATOR (the built programs).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

const viewer = process.env.KVO_EXECUTABLE;
const generator = process.env.KVO_GENERATOR;
const root = mkdtempSync(join(tmpdir(), 'kvo-answers-'));

function generate(folder, ...args) {
  mkdirSync(folder, { recursive: true });
  const run = spawnSync(generator, ['--folder', folder, '--log', 'incoming',
    '--seed', '7', '--sender', 'probe@sentinel.test', '--sender-share', '0.05', ...args]);
  assert.equal(run.status, 0, String(run.stderr));
}

// The month of March 2024, as one monthly file.
const month = join(root, 'month');
generate(month, '--period', 'monthly', '--first', '2024-03-01', '--last', '2024-03-31',
  '--lines-per-day', '40');

// Runs the program for `params` (an object); the response split into status,
// headers and body (a Buffer).
function request(params, folder = month) {
  const query = new URLSearchParams({
    Log: 'Incoming', LogFilePath: folder, DateLoDay: '1', DateLoMonth: '3', DateLoYear: '2024',
    DateHiDay: '31', DateHiMonth: '3', DateHiYear: '2024', ...params,
  }).toString();
  const run = spawnSync(viewer, [], {
    env: { LC_ALL: 'C', REQUEST_METHOD: 'GET', QUERY_STRING: query, KVO_LOG_ROOT: root },
  });
  assert.equal(run.status, 0);
  const out = run.stdout;
  const end = out.indexOf('\r\n\r\n');
  const head = out.subarray(0, end).toString('latin1').split('\r\n');
  return { statusLine: head[0], headers: head.slice(1), body: out.subarray(end + 4) };
}

function json(params, folder) {
  const response = request({ Format: 'json', ...params }, folder);
  return { ...response, data: JSON.parse(response.body.toString('utf8')) };
}

// RFC 4180 records of a CSV text.
function parseCsv(text) {
  const records = [];
  let record = [], field = '', quoted = false;
  for (let i = 0; i < text.length; i++) {
    const c = text[i];
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') { field += '"'; i++; }
      else if (c === '"') quoted = false;
      else field += c;
    } else if (c === '"') quoted = true;
    else if (c === ',') { record.push(field); field = ''; }
    else if (c === '\r' && text[i + 1] === '\n') {
      record.push(field); records.push(record); record = []; field = ''; i++;
    } else field += c;
  }
  return records;
}

test('JSON: every field of the answer', () => {
  const all = json({ MaxLines: '100000' }).data;
  const { data, body, headers, statusLine } = json({ FromSelection: 'probe@sentinel', MaxLines: '5' });
  assert.equal(statusLine, 'HTTP/1.0 200 OK');
  assert.ok(headers.includes('Status: 200 OK'));
  assert.ok(headers.includes('Content-type: application/json; charset=utf-8'));
  assert.equal(data.log, 'Incoming');
  assert.deepEqual(data.interval, { first: '2024-03-01', last: '2024-03-31', time_lo: null, time_hi: null });
  assert.equal(data.criteria.from, 'probe@sentinel');
  assert.equal(data.criteria.ip, null);
  assert.equal(data.columns.length, 10);
  assert.equal(data.columns[9], 'Orig. IP addr.');
  assert.equal(data.rows.length, 5);
  for (const row of data.rows) {
    assert.equal(row.length, 10);
    assert.match(row[2], /probe@sentinel/);
  }
  const matching = all.rows.filter((row) => row[2].includes('probe@sentinel'));
  assert.deepEqual(data.rows, matching.slice(0, 5));
  assert.equal(data.total, matching.length);
  assert.equal(data.truncated, true);
  assert.deepEqual([data.offset, data.limit, data.order], [0, 5, 'date']);
  // The view shows the rows as soon as what was asked of them follows.
  assert.match(body.toString('utf8'), /\]\],"offset":0,"limit":5,"order":"date","total":/);
  assert.equal(data.days.reduce((sum, day) => sum + day.count, 0), data.total);
  assert.equal(data.days.reduce((sum, day) => sum + day.bytes, 0),
    matching.reduce((sum, row) => sum + Number(row[8]), 0));
  assert.deepEqual(data.files, [{ name: 'Incoming2024-03.txt', status: 'read', error: null }]);
  assert.equal(data.stopped, null);
  assert.equal(typeof data.elapsed_ms, 'number');
  // Windows-1252 in the log arrives as UTF-8.
  assert.ok(all.rows.some((row) => row[7].includes('München')));
});

test('JSON: invalid parameters give 400 with their messages', () => {
  const cases = [
    [{ Offset: '-1' }, 'Offset', 'Invalid offset given.'],
    [{ Offset: '1.5' }, 'Offset', 'Invalid offset given.'],
    [{ Offset: '4294967296' }, 'Offset', 'Invalid offset given.'],
    [{ Order: 'oldest' }, 'Order', 'Invalid order given.'],
    [{ Order: 'newest', Offset: '99990', MaxLines: '11' }, 'Order',
      'Order needs Offset + MaxLines of at most 100000.'],
    [{ TimeLo: '24:00' }, 'TimeLo', 'Invalid time given.'],
    [{ TimeHi: '12:5' }, 'TimeHi', 'Invalid time given.'],
    [{ IpAddress: '10.0.0.9', IpAddress2OrSubnetMask: '10.0.0.1' }, 'IpAddress2OrSubnetMask',
      'IP Address range: Invalid.'],
    [{ DateLoDay: '32' }, 'DateLoDay', 'Invalid date (32/3/2024)'],
    [{ LogFilePath: '/' }, 'LogFilePath', 'Log file path not allowed.'],
  ];
  for (const [params, field, text] of cases) {
    const { statusLine, headers, data } = json(params);
    assert.equal(statusLine, 'HTTP/1.0 400 Bad Request', JSON.stringify(params));
    assert.ok(headers.includes('Status: 400 Bad Request'));
    assert.equal(data.error, 'invalid parameters');
    assert.ok(data.messages.some((m) => m.field === field && m.text === text),
      `${JSON.stringify(params)}: ${JSON.stringify(data.messages)}`);
  }
});

test('the page names invalid answer parameters and keeps its bytes without them', () => {
  const page = request({ Format: 'xml', Offset: 'x' }).body.toString('latin1');
  assert.match(page, /<PRE>Invalid format given\.<\/PRE>\r\n<PRE>Invalid offset given\.<\/PRE>/);
  const plain = request({}).body.toString('latin1');
  assert.equal(request({ Format: 'html', Offset: '0', Order: 'date' }).body.toString('latin1'), plain);
});

test('CSV: the same rows as JSON, quoted as RFC 4180 says', () => {
  const { statusLine, headers, body } = request({ Format: 'csv', MaxLines: '200' });
  assert.equal(statusLine, 'HTTP/1.0 200 OK');
  assert.ok(headers.includes('Content-type: text/csv; charset=utf-8'));
  assert.ok(headers.includes(
    'Content-Disposition: attachment; filename="Incoming_2024-03-01_2024-03-31.csv"'));
  const records = parseCsv(body.toString('utf8'));
  const note = records.pop();
  assert.match(note[0], /^# Incomplete listing/);
  const { data } = json({ MaxLines: '200' });
  assert.deepEqual(records[0], data.columns);
  assert.deepEqual(records.slice(1), data.rows);
  assert.ok(records.some((record) => record[7].includes(',') || record[7].includes('"')) ||
    records.some((record) => record[7].includes('&')));
});

test('paging through the month gives exactly the whole listing', () => {
  const whole = json({ MaxLines: '100000' }).data.rows;
  const pages = [];
  for (let offset = 0; ; offset += 137) {
    const { data } = json({ Offset: String(offset), MaxLines: '137' });
    pages.push(...data.rows);
    if (!data.truncated) break;
  }
  assert.deepEqual(pages, whole);
  // The page: the limit notice exactly when a line after offset + limit exists.
  const total = whole.length;
  const notice = /Incomplete listing/;
  assert.match(request({ Offset: String(total - 10), MaxLines: '9' }).body.toString('latin1'), notice);
  assert.doesNotMatch(request({ Offset: String(total - 10), MaxLines: '10' }).body.toString('latin1'), notice);
});

test('each order', () => {
  const whole = json({ MaxLines: '100000' }).data.rows;
  const key = { newest: (row) => toSeconds(row[0]), largest: (row) => Number(row[8]) };
  for (const order of ['newest', 'largest']) {
    const expected = whole.map((row, index) => ({ row, index }))
      .sort((a, b) => key[order](b.row) - key[order](a.row) || a.index - b.index)
      .map(({ row }) => row);
    const { data } = json({ Order: order, Offset: '20', MaxLines: '50' });
    assert.deepEqual(data.rows, expected.slice(20, 70), order);
    assert.equal(data.total, whole.length);
    assert.equal(data.truncated, true);
  }
});

function toSeconds(date) {
  const [d, m, y, h, min, s] = date.split(/[. :]/).map(Number);
  return Date.UTC(y, m - 1, d, h, min, s) / 1000;
}

test('times of day bound the interval to the second', () => {
  const folder = join(root, 'times');
  mkdirSync(folder);
  const title = 'Date\tPOP3\tFrom\tTo\tCc\tRouted\tRule\tSubject\tSize\tIP\r\n';
  const line = (date) => `${date}\tp\tf@a\tt@b\t\tr\trule\ts\t100\t1.2.3.4\r\n`;
  const dates = ['05.03.2024 09:59:59', '05.03.2024 10:00:00', '06.03.2024 03:00:00',
    '07.03.2024 12:00:00', '07.03.2024 12:00:01'];
  writeFileSync(join(folder, 'Incoming2024-03.txt'), title + dates.map(line).join(''));
  const { data } = json({ DateLoDay: '5', DateHiDay: '7', TimeLo: '10:00', TimeHi: '12:00',
    MaxLines: '100' }, folder);
  assert.deepEqual(data.rows.map((row) => row[0]), dates.slice(1, 4));
  assert.deepEqual([data.interval.time_lo, data.interval.time_hi], ['10:00:00', '12:00:00']);
  const page = request({ DateLoDay: '5', DateHiDay: '7', TimeLo: '10:00', TimeHi: '12:00' },
    folder).body.toString('latin1');
  assert.match(page, /First date: 2024-03-05 10:00:00, \r\nLast date: 2024-03-07 12:00:00<br>/);
});

test('a gzipped month lists what the plain one does; a damaged one up to the damage', () => {
  const plain = readFileSync(join(month, 'Incoming2024-03.txt'));
  const packed = gzipSync(plain);
  const gz = join(root, 'gz');
  mkdirSync(gz);
  writeFileSync(join(gz, 'Incoming2024-03.txt.gz'), packed);
  const expected = json({ MaxLines: '100000' }).data;
  const gzipped = json({ MaxLines: '100000' }, gz).data;
  assert.deepEqual(gzipped.rows, expected.rows);
  assert.deepEqual(gzipped.files, [{ name: 'Incoming2024-03.txt.gz', status: 'read', error: null }]);

  writeFileSync(join(gz, 'Incoming2024-03.txt.gz'), packed.subarray(0, packed.length / 2));
  const damaged = json({ MaxLines: '100000' }, gz).data;
  assert.ok(damaged.rows.length > 0 && damaged.rows.length < expected.rows.length);
  assert.deepEqual(damaged.rows, expected.rows.slice(0, damaged.rows.length));
  assert.equal(damaged.files[0].status, 'error');
  assert.equal(damaged.stopped, 'read error');
  const page = request({ MaxLines: '100000' }, gz).body.toString('latin1');
  assert.match(page, /<\/table>\r\n<H4>Log file damaged: Incoming2024-03\.txt\.gz \(.+\)\.<\/H4>\r\n/);
});
