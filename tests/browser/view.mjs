// The result view: the form with scripts asks the program for JSON and shows
// the answer on the form's page. One test per behaviour a user sees.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { check, logLines, readManifest, requireEnv } from './support.mjs';

const baseUrl = requireEnv('KVO_BASE_URL');
const sender = requireEnv('KVO_SENDER');
const shotDir = requireEnv('KVO_SHOT_DIR');
const manifest = readManifest(requireEnv('KVO_MANIFEST'));
const grouped = (n) => new Intl.NumberFormat('en-US').format(n);

const kFebruary = { DateLoDay: '1', DateLoMonth: '2', DateLoYear: '2024',
  DateHiDay: '29', DateHiMonth: '2', DateHiYear: '2024' };
const kMarchDays = [1, 2, 3, 4, 5, 6, 7, 8].map((d) => `Incoming2024-03-0${d}.txt`);

function senders(...files) {
  return files.reduce((sum, file) => sum + manifest.get(file).senders, 0);
}

function lines(file) {
  return logLines(manifest.get(file).path);
}

// A link to the form page holding `params` (ASCII values).
function linkTo(params) {
  return `${baseUrl}?${new URLSearchParams(params)}`;
}

// Waits until the result section shows an answer (or a failure).
async function answered(page) {
  await page.waitForFunction(() => {
    const result = document.getElementById('Result');
    return result && !result.hidden && !result.hasAttribute('aria-busy');
  });
}

async function openQuery(page, params) {
  await page.goto(linkTo(params));
  await answered(page);
}

// Runs `action` (a click, a key) and waits for the answer it asks for.
async function then(page, action) {
  await action();
  await answered(page);
}

async function fillForm(page, fields) {
  await page.goto(baseUrl);
  for (const [name, value] of Object.entries(fields)) await page.fill(`[name=${name}]`, value);
}

async function showLog(page) {
  await then(page, () => page.getByRole('button', { name: 'Show log' }).click());
}

const countLine = async (page) => (await page.textContent('#CountLine')) ?? '';

async function expectCount(page, want) {
  const got = await countLine(page);
  check(got === want, `count line "${got}", expected "${want}"`);
}

// The cells' texts (and titles) of the rows in the page.
function shownRows(page) {
  return page.$$eval('#TableBox .Row', (rows) =>
    rows.map((row) => [...row.children].map((cell) => ({ text: cell.textContent, title: cell.title }))));
}

const bytesOf = (cell) => Number(cell.title.replace(/\D/g, ''));

// Visible texts whose contrast with their background is below WCAG AA.
function contrastFailures(page) {
  return page.evaluate(() => {
    const rgba = (text) => (text.match(/[\d.]+/g) ?? []).map(Number);
    const luminance = ([r, g, b]) => {
      const lin = (c) => { const v = c / 255; return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4; };
      return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
    };
    const background = (element) => {
      for (let e = element; e; e = e.parentElement) {
        const [r, g, b, a = 1] = rgba(getComputedStyle(e).backgroundColor);
        if (a > 0) return [r, g, b];
      }
      return [255, 255, 255];
    };
    const failures = [];
    for (const element of document.querySelectorAll('body *')) {
      const own = [...element.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
      if (!own || !element.getClientRects().length || element.closest('.Off, [aria-hidden], svg')) continue;
      if (element.matches(':disabled') || element.closest('button:disabled')) continue;
      const style = getComputedStyle(element);
      const a = luminance(rgba(style.color));
      const b = luminance(background(element));
      const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
      const size = parseFloat(style.fontSize);
      const large = size >= 24 || (size >= 18.66 && Number(style.fontWeight) >= 700);
      if (ratio < (large ? 3 : 4.5)) {
        const text = element.textContent.trim().slice(0, 30);
        failures.push(`${element.tagName}.${element.className} "${text}" ${ratio.toFixed(2)}`);
      }
    }
    return failures;
  });
}

export const viewTests = [
  ['count line, interval and criteria, day chart, days without a file', {}, async (page) => {
    await page.setViewportSize({ width: 1366, height: 900 });
    await fillForm(page, { ...kFebruary, DateHiDay: '10', DateHiMonth: '3', FromSelection: sender });
    await showLog(page);
    const total = senders('Incoming2024-02.txt', ...kMarchDays);
    await expectCount(page, `${grouped(total)} messages (showing 1 to ${Math.min(total, 100)} of ${grouped(total)})`);
    const selection = (await page.textContent('#Selection')) ?? '';
    for (const part of ['Thu 1 Feb 2024 to Sun 10 Mar 2024', `From${sender}`]) {
      check(selection.includes(part), `interval and criteria "${selection}" lack "${part}"`);
    }
    const notices = (await page.textContent('#Notices')) ?? '';
    check(notices.includes('No log file for Sat 9 Mar 2024 to Sun 10 Mar 2024'), `notices: "${notices}"`);

    const titles = await page.$$eval('#Chart svg rect', (rects) => rects.map((r) => r.textContent));
    const counts = titles.map((t) => Number(/: (\d+) messages?/.exec(t)?.[1] ?? NaN));
    check(counts.reduce((a, b) => a + b, 0) === total, `the bars count ${counts.join('+')}, not ${total}`);
    for (const [i, file] of kMarchDays.entries()) {
      const want = manifest.get(file).senders;
      const bar = titles.find((t) => t.includes(` ${i + 1} Mar 2024:`));
      check(want === 0 ? !bar : bar?.includes(`: ${want} message`), `bar of 2024-03-0${i + 1}: ${bar}`);
    }
    await page.hover('#Chart svg rect >> nth=-1');
    const info = (await page.textContent('#Chart .ChartInfo')) ?? '';
    check(/^Fri 8 Mar 2024: \d+ messages?, [\d.]+ (B|KB|MB)\./.test(info), `hover says "${info}"`);
    await page.screenshot({ path: join(shotDir, 'browser-view-1366.png') });

    await then(page, () => page.click('#Chart svg rect:has(title:text("Wed 6 Mar 2024"))'));
    const url = new URL(page.url());
    check(['DateLoDay', 'DateHiDay'].every((n) => url.searchParams.get(n) === '6'), `a bar led to ${url.search}`);
    const day = manifest.get('Incoming2024-03-06.txt').senders;
    await expectCount(page, `${day} messages (showing 1 to ${day} of ${day})`);
  }],

  ['no match: "No messages matched"', {}, async (page) => {
    await openQuery(page, { ...kFebruary, FromSelection: 'nobody.at.all@example.invalid' });
    await expectCount(page, 'No messages matched');
    check(!(await page.isVisible('#TableBox')) && !(await page.isVisible('#Chart')),
          'an empty result shows a table or a chart');
  }],

  ['validation messages beside their fields', {}, async (page) => {
    const cases = [
      { name: 'day 32 (program)', fields: { DateLoDay: '32' }, field: 'DateLoDay', text: 'Invalid date interval' },
      { name: 'invalid address (program)', fields: { IpAddress: '999.1.1.1' }, field: 'IpAddress', text: '' },
      { name: 'text outside Windows-1252', fields: { SubjectSelection: 'caf\u00e9 \u2192 bar' },
        field: 'SubjectSelection', text: 'cannot be searched for' },
      { name: 'prefix of 40 bits', fields: { IpAddress: '10.0.0.0/40' }, field: 'IpAddress', text: '0 to 32' },
    ];
    for (const c of cases) {
      await fillForm(page, c.fields);
      await page.getByRole('button', { name: 'Show log' }).click();
      const message = page.locator(`.FieldError[data-field=${c.field}]`);
      await message.waitFor();
      const text = (await message.textContent()) ?? '';
      check(text.includes(c.text), `${c.name}: message "${text}"`);
      const input = page.locator(`[name=${c.field}]`);
      check(await input.getAttribute('aria-invalid') === 'true', `${c.name}: the field is not marked`);
      const [a, b] = [await input.boundingBox(), await message.boundingBox()];
      check(Math.abs(b.y - (a.y + a.height)) < 80, `${c.name}: the message is ${b.y - a.y}px away from its field`);
      check(!(await page.isVisible('#TableBox')), `${c.name}: rows are listed`);
      if (c === cases[0]) await page.screenshot({ path: join(shotDir, 'browser-view-invalid.png'), fullPage: true });
    }
  }],

  ['table: sticky header, virtual rows, marked criteria, folded recipients, sizes', {}, async (page) => {
    await openQuery(page, { ...kFebruary, ToSelection: 'corp.local', MaxLines: '1000' });
    const all = manifest.get('Incoming2024-02.txt').lines;
    await expectCount(page, `${all} messages (showing 1 to ${all} of ${all})`);
    const drawn = await page.locator('#TableBox [role=row]').count();
    check(drawn < 100, `${drawn} rows in the page for ${all} rows`);
    const rows = await shownRows(page);
    check(rows.every((r) => /^[\d.]+ (B|KB|MB|GB)$/.test(r[7].text) && bytesOf(r[7]) > 0),
          `sizes without units: ${rows.map((r) => r[7].text).join(', ')}`);
    const marks = await page.$$eval('#TableBox mark', (m) => m.map((e) => e.textContent.toLowerCase()));
    check(marks.length > 0 && marks.every((m) => m === 'corp.local'), `marks: ${marks.slice(0, 5)}`);

    const more = page.locator('#TableBox button.More').first();
    check(/^\+\d+ more$/.test((await more.textContent()) ?? ''), 'no folded recipient list');
    const hidden = Number(/\d+/.exec(await more.textContent())[0]);
    await more.click();
    const shown = await page.$eval('#RowDetail dt:text-is("To") + dd', (dd) => dd.innerText.split('\n').length);
    check(shown === hidden + 1, `the message shows ${shown} recipients, the fold said 1 + ${hidden}`);
    await page.keyboard.press('Escape');

    await page.$eval('#TableBox', (box) => { box.scrollTop = box.scrollHeight; });
    await page.waitForFunction(() => {
      const rows = document.querySelectorAll('#TableBox .Row');
      const count = document.querySelector('#TableBox [role=table]').getAttribute('aria-rowcount');
      return rows.length > 0 && rows[rows.length - 1].getAttribute('aria-rowindex') === count;
    });
    const last = lines('Incoming2024-02.txt').at(-1)[0];
    const lastShown = (await shownRows(page)).at(-1)[0].text;
    check(lastShown === last, `the last row is ${lastShown}, not ${last}`);
    const [head, box] = await page.$$eval('#TableBox .GridHead, #TableBox', (e) =>
      [e.find((x) => x.id !== 'TableBox'), e.find((x) => x.id === 'TableBox')]
        .map((x) => x.getBoundingClientRect().top));
    check(Math.abs(head - box) < 3, `the header is ${head - box}px below the box's top after scrolling`);
  }],

  ['sorting: Size through the program, other columns over the loaded rows', {}, async (page) => {
    await openQuery(page, kFebruary);
    await then(page, () => page.click('#TableBox .GridHead button:has-text("Size")'));
    check(new URL(page.url()).searchParams.get('Order') === 'largest', `Size sorted with ${page.url()}`);
    const largest = Math.max(...lines('Incoming2024-02.txt').map((f) => Number(f[8])));
    let sizes = (await shownRows(page)).map((r) => bytesOf(r[7]));
    check(sizes[0] === largest && sizes.every((s, i) => i === 0 || sizes[i - 1] >= s),
          `largest first: ${sizes.slice(0, 5)} (largest of the month ${largest})`);
    check(((await page.textContent('#SortNote')) ?? '').includes('whole result'), 'no "whole result" in the note');

    const url = page.url();
    await page.click('#TableBox .GridHead button:has-text("Size")');
    sizes = (await shownRows(page)).map((r) => bytesOf(r[7]));
    check(page.url() === url && sizes.every((s, i) => i === 0 || sizes[i - 1] <= s),
          `smallest first: ${sizes.slice(0, 5)}`);
    await page.click('#TableBox .GridHead button:has-text("From")');
    const from = (await shownRows(page)).map((r) => r[2].text.toLowerCase());
    check(from.every((s, i) => i === 0 || from[i - 1] <= s), `From A to Z: ${from.slice(0, 4)}`);
    const note = (await page.textContent('#SortNote')) ?? '';
    check(note.includes('loaded rows only'), `note over a partial result: "${note}"`);
    const header = page.locator('#TableBox [role=columnheader]:has-text("From")');
    check(await header.getAttribute('aria-sort') === 'ascending', 'the From header is not marked');
  }],

  ['paging: next, previous, arrow keys, load all', {}, async (page) => {
    const all = manifest.get('Incoming2024-02.txt').lines;
    const of = (a, b) => `${grouped(all)} messages (showing ${a} to ${b} of ${grouped(all)})`;
    await openQuery(page, kFebruary);
    await expectCount(page, of(1, 100));
    await then(page, () => page.click('#NextPage'));
    await expectCount(page, of(101, 200));
    await page.focus('#TableBox');
    await then(page, () => page.keyboard.press('ArrowRight'));
    await expectCount(page, of(201, 300));
    await then(page, () => page.keyboard.press('ArrowLeft'));
    await expectCount(page, of(101, 200));
    await page.keyboard.press('PageDown');
    const active = await page.getAttribute('#TableBox .Row.Active', 'aria-rowindex');
    check(Number(active) > 10, `PageDown made row ${active} the current one`);
    await then(page, () => page.click('#PreviousPage'));
    await expectCount(page, of(1, 100));
    check(await page.isDisabled('#PreviousPage'), 'Previous works on the first page');
    await then(page, () => page.click(`#LoadAll:text("Load all ${all}")`));
    await expectCount(page, of(1, all));
    check(await page.isDisabled('#NextPage') && !(await page.isVisible('#LoadAll')), 'more to load after "load all"');
  }],

  ['export: a CSV download of the query', {}, async (page) => {
    await openQuery(page, { ...kFebruary, MaxLines: '10', Offset: '5' });
    const [download] = await Promise.all([
      page.waitForEvent('download'),
      page.click('#ExportCsv button'),
    ]);
    check(/^Incoming.*\.csv$/.test(download.suggestedFilename()), `file name ${download.suggestedFilename()}`);
    const csv = readFileSync(await download.path(), 'utf8').split(/\r\n/).filter((l) => l && !l.startsWith('#'));
    check(csv.length === 11 && csv[0].startsWith('Date,'), `CSV of ${csv.length} lines: ${csv[0]}`);
    const first = (await shownRows(page))[0][0].text;
    check(csv[1].startsWith(first), `CSV starts at ${csv[1].slice(0, 20)}, the table at ${first}`);
  }],

  ['links: the query in the address; reload, back, forward; copy link',
    { permissions: ['clipboard-read', 'clipboard-write'] }, async (page) => {
      const subject = 'Gr\u00fc\u00dfe';
      await fillForm(page, { ...kFebruary, SubjectSelection: subject });
      await showLog(page);
      check(page.url().includes('SubjectSelection=Gr%C3%BC%C3%9Fe'), `address ${page.url()}`);
      const total = lines('Incoming2024-02.txt')
        .filter((f) => f[7].toLowerCase().includes('gr\u00fc\u00dfe')).length;
      const want = `${total} messages (showing 1 to ${Math.min(total, 100)} of ${total})`;
      await expectCount(page, want);
      await then(page, () => page.reload());
      check(await page.inputValue('[name=SubjectSelection]') === subject, 'reload lost the subject');
      await expectCount(page, want);
      await then(page, () => page.click('#Chart svg rect >> nth=0'));
      const oneDay = page.url();
      await then(page, () => page.goBack());
      check(await page.inputValue('[name=DateHiDay]') === '29', 'back did not bring the interval back');
      await expectCount(page, want);
      await then(page, () => page.goForward());
      check(page.url() === oneDay && await page.inputValue('[name=DateHiMonth]') === '2', 'forward');
      await page.click('#CopyLink');
      const copied = await page.evaluate(() => navigator.clipboard.readText());
      check(copied === page.url(), `copied "${copied}"`);
    }],

  ['time of day fields; a network typed as a.b.c.d/nn', {}, async (page) => {
    await fillForm(page, { DateLoDay: '1', DateLoMonth: '3', DateLoYear: '2024', TimeLo: '12:00',
      DateHiDay: '2', DateHiMonth: '3', DateHiYear: '2024', TimeHi: '12:00', IpAddress: '128.0.0.0/1' });
    await showLog(page);
    const fields = await Promise.all(['IpAddress', 'IpAddress2OrSubnetMask']
      .map((n) => page.inputValue(`[name=${n}]`)));
    check(fields.join(' ') === '128.0.0.0 128.0.0.0' && await page.isChecked('input[value=subnet]'),
          `the network became ${fields.join(' ')}`);
    const high = (f) => Number(f[9].split('.')[0]) >= 128;
    const time = (f) => f[0].slice(11);
    const want = lines('Incoming2024-03-01.txt').filter((f) => high(f) && time(f) >= '12:00:00').length +
      lines('Incoming2024-03-02.txt').filter((f) => high(f) && time(f) <= '12:00:00').length;
    await expectCount(page, `${want} messages (showing 1 to ${want} of ${want})`);
    const search = new URL(page.url()).searchParams;
    check(search.get('TimeLo') === '12:00' && search.get('GrpSubnetOrIpRange') === 'subnet',
          `address ${page.url()}`);
  }],

  ['page: standards mode, viewport, Enter submits, contrast, phone layout', {}, async (page) => {
    await page.setViewportSize({ width: 400, height: 800 });
    await fillForm(page, { ...kFebruary, FromSelection: sender });
    check(await page.evaluate(() => document.compatMode) === 'CSS1Compat', 'quirks mode');
    check(/width=device-width/.test(await page.getAttribute('meta[name=viewport]', 'content')), 'no viewport');
    await page.focus('[name=FromSelection]');
    await then(page, () => page.keyboard.press('Enter'));
    const total = senders('Incoming2024-02.txt');
    await expectCount(page, `${total} messages (showing 1 to ${Math.min(total, 100)} of ${total})`);
    const widths = await page.$eval('#TableBox', (box) => [
      document.documentElement.scrollWidth - document.documentElement.clientWidth,
      box.scrollWidth - box.clientWidth]);
    check(widths[0] <= 0 && widths[1] > 0, `page overflow ${widths[0]}px, table box overflow ${widths[1]}px`);
    await page.screenshot({ path: join(shotDir, 'browser-view-400.png') });
    const failures = await contrastFailures(page);
    check(failures.length === 0, `below AA contrast: ${failures.slice(0, 5).join('; ')}`);
  }],
];
