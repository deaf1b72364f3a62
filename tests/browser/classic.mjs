// The query form without scripts: it posts to the program, which answers
// with its own page, exactly as before the result view existed. Also the
// form's own helpers (today's date, quick choices), which need scripts.
import { join } from 'node:path';
import { check, readManifest, requireEnv } from './support.mjs';

const baseUrl = requireEnv('KVO_BASE_URL');
const sender = requireEnv('KVO_SENDER');
const shotDir = requireEnv('KVO_SHOT_DIR');
const manifest = readManifest(requireEnv('KVO_MANIFEST'));

function expectedSenderLines(files) {
  let sum = 0;
  for (const file of files) {
    if (!manifest.has(file)) throw new Error(`generator wrote no ${file}`);
    sum += manifest.get(file).senders;
  }
  return sum;
}

async function openForm(page) {
  await page.goto(baseUrl, { waitUntil: 'load' });
  await page.waitForSelector('#Query');
}

async function fillDates(page, lo, hi) {
  const names = ['Day', 'Month', 'Year'];
  for (let i = 0; i < 3; ++i) {
    await page.getByLabel(names[i], { exact: true }).nth(0).fill(lo[i]);
    await page.getByLabel(names[i], { exact: true }).nth(1).fill(hi[i]);
  }
}

// Without scripts the form posts these fields, in this order, as it always has.
const kPostedNames = [
  'LogFilePath', 'Log', 'MaxLines', 'DateLoDay', 'DateLoMonth', 'DateLoYear', 'DateHiDay',
  'DateHiMonth', 'DateHiYear', 'FromSelection', 'ToSelection', 'SubjectSelection',
  'RoutedSelection', 'POP3AccountSelection', 'SizeMini', 'SizeMaxi', 'IpAddress',
  'GrpSubnetOrIpRange', 'IpAddress2OrSubnetMask',
];

async function submit(page) {
  const [request] = await Promise.all([
    page.waitForRequest((r) => r.method() === 'POST'),
    page.waitForNavigation({ waitUntil: 'load' }),
    page.getByRole('button', { name: 'Show log' }).click(),
  ]);
  const names = (request.postData() ?? '').split('&').map((pair) => pair.split('=')[0]);
  check(names.join() === kPostedNames.join(), `the form posted ${names.join()}`);
}

// Rows of the result table: the first TR holds the TH cells.
async function tableRows(page) {
  return page.$$eval('table tr', (rows) =>
    rows.map((tr) => ({
      th: [...tr.querySelectorAll('th')].map((c) => c.className),
      td: [...tr.querySelectorAll('td')].map((c) => ({
        cls: c.className,
        text: c.textContent,
      })),
    })));
}

async function listingBySender(page, { log, lo, hi, files, fromClass, columns }) {
  await openForm(page);
  await page.getByLabel(log === 'Incoming' ? 'Incoming mail' : 'Outgoing mail').check();
  await fillDates(page, lo, hi);
  await page.getByLabel('From (sender)').fill(sender);
  await page.getByLabel('Maximum number of lines').fill('5000');
  await submit(page);

  const rows = await tableRows(page);
  check(rows.length > 0, 'the page has no result table');
  const [header, ...data] = rows;
  check(header.th.length === columns,
        `header row has ${header.th.length} TH cells, expected ${columns}`);
  check(data.every((r) => r.th.length === 0), 'a second header row in the table');
  const expected = expectedSenderLines(files);
  check(expected > 0, `the generator wrote no sender line in ${files.join(', ')}`);
  check(data.length === expected,
        `${data.length} data rows, expected ${expected} (sender lines of ${files.join(', ')})`);
  for (const [i, row] of data.entries()) {
    check(row.td.length === columns, `row ${i + 1} has ${row.td.length} cells`);
    const from = row.td.find((c) => c.cls === fromClass);
    check(from && from.text.toLowerCase().includes(sender.toLowerCase()),
          `row ${i + 1}: ${fromClass} is "${from ? from.text : '(none)'}", not the sender`);
  }

  const criteria = (await page.textContent('p.Criteria')) ?? '';
  const isoDate = (d) => `${d[2]}-${d[1].padStart(2, '0')}-${d[0].padStart(2, '0')}`;
  for (const part of [`First date: ${isoDate(lo)}`, `Last date: ${isoDate(hi)}`,
                      `'From' address selection: ${sender}`]) {
    check(criteria.includes(part), `criteria block lacks "${part}": ${JSON.stringify(criteria)}`);
  }
  check(!(await page.$('p.CriteriaError')), 'the page shows a criteria error');
  const heading = (await page.textContent('h2')) ?? '';
  check(heading.includes(`${log} mail`), `heading "${heading}" does not name the ${log} log`);
  const about = (await page.textContent('p.About')) ?? '';
  check(/^kvoviewlog\.exe version \d+\.\d+/.test(about.trim()), `closing line is "${about}"`);
  // The page links the style sheet from the form's folder: its rules apply.
  const position = await page.$eval('th', (th) => getComputedStyle(th).position);
  check(position === 'sticky', `the style sheet did not load (th position: ${position})`);
  return data.length;
}

export const classicTests = [
  ['form defaults and quick date choices', {}, async (page) => {
    await page.setViewportSize({ width: 1200, height: 900 });
    await openForm(page);
    const value = (name) => page.inputValue(`[name=${name}]`);
    const now = new Date();
    check(await value('DateLoDay') === String(now.getDate())
          && await value('DateLoMonth') === String(now.getMonth() + 1)
          && await value('DateLoYear') === String(now.getFullYear()),
          'the first day is not today');
    check(await value('MaxLines') === '100', 'MaxLines does not default to 100');
    check(!(await page.isVisible('#FolderWarning')), 'the log folder was not filled in');
    await page.screenshot({ path: join(shotDir, 'browser-form.png'), fullPage: true });

    await page.getByRole('button', { name: 'Last month' }).click();
    const first = new Date(now.getFullYear(), now.getMonth() - 1, 1);
    const last = new Date(now.getFullYear(), now.getMonth(), 0);
    const got = await Promise.all(['DateLoDay', 'DateLoMonth', 'DateLoYear',
      'DateHiDay', 'DateHiMonth', 'DateHiYear'].map(value));
    const want = [first.getDate(), first.getMonth() + 1, first.getFullYear(),
      last.getDate(), last.getMonth() + 1, last.getFullYear()].map(String);
    check(got.join('/') === want.join('/'), `Last month gave ${got.join('/')}, expected ${want.join('/')}`);

    await page.getByLabel('Outgoing mail').check();
    check(await page.isDisabled('[name=POP3AccountSelection]')
          && await page.isDisabled('[name=IpAddress]'),
          'incoming-only fields stay on for the outgoing log');
    await page.setViewportSize({ width: 380, height: 800 });
    await page.getByLabel('Incoming mail').check();
    await page.screenshot({ path: join(shotDir, 'browser-form-narrow.png'), fullPage: true });
    const overflow = await page.evaluate(
      () => document.documentElement.scrollWidth - document.documentElement.clientWidth);
    check(overflow <= 0, `the form is ${overflow}px wider than a narrow screen`);
  }],

  ['without scripts: incoming listing by sender over a monthly and daily files', { javaScript: false },
    async (page) => {
    await page.setViewportSize({ width: 1400, height: 900 });
    await listingBySender(page, {
      log: 'Incoming', lo: ['1', '2', '2024'], hi: ['5', '3', '2024'],
      files: ['Incoming2024-02.txt', 'Incoming2024-03-01.txt', 'Incoming2024-03-02.txt',
              'Incoming2024-03-03.txt', 'Incoming2024-03-04.txt', 'Incoming2024-03-05.txt'],
      fromClass: 'IncColumn3', columns: 9,
    });
    await page.screenshot({ path: join(shotDir, 'browser-result.png') });
  }],

  ['without scripts: outgoing listing by sender in one month', { javaScript: false }, async (page) => {
    await listingBySender(page, {
      log: 'Outgoing', lo: ['1', '3', '2024'], hi: ['31', '3', '2024'],
      files: ['Outgoing2024-03.txt'], fromClass: 'OutColumn2', columns: 5,
    });
  }],

  ['without scripts: a day 32 gives the invalid-parameters page', { javaScript: false },
    async (page) => {
    await page.setViewportSize({ width: 1200, height: 700 });
    await openForm(page);
    await fillDates(page, ['32', '3', '2024'], ['', '', '']);
    await submit(page);
    const text = (await page.textContent('html')) ?? '';
    for (const part of ['Invalid parameter(s) for', 'Invalid date interval (missing or invalid).']) {
      check(text.includes(part), `page lacks "${part}"`);
    }
    check(!(await page.$('table')), 'the invalid-parameters page shows a table');
    await page.screenshot({ path: join(shotDir, 'browser-invalid.png'), fullPage: true });
  }],
];

