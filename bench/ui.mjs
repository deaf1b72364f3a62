// Times the result view in headless Chromium against the program's own page
// (the form posted without scripts), both served by lighttpd over the bench
// month. bench/ui starts the server. Figures only: nothing fails on time.
//
// Environment: KVO_BASE_URL (the form page), KVO_BENCH_ROUNDS (default 5),
// KVO_BENCH_CLASSIC_ROUNDS (default 1; 0 skips today's page of 100,000 rows).
import { launchChromium } from '../tests/browser/support.mjs';

const baseUrl = process.env.KVO_BASE_URL;
const rounds = Number(process.env.KVO_BENCH_ROUNDS ?? 5);
const classicRounds = Number(process.env.KVO_BENCH_CLASSIC_ROUNDS ?? 1);
const kDay = { DateLoDay: '11', DateLoMonth: '3', DateLoYear: '2024', DateHiDay: '', DateHiMonth: '', DateHiYear: '' };
const kMonth = { ...kDay, DateLoDay: '1', DateHiDay: '31', DateHiMonth: '3', DateHiYear: '2024' };

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

async function openForm(browser, fields, { javaScript = true } = {}) {
  const context = await browser.newContext({ javaScriptEnabled: javaScript, viewport: { width: 1366, height: 900 } });
  const page = await context.newPage();
  page.setDefaultTimeout(600000);
  await page.goto(baseUrl);
  for (const [name, value] of Object.entries(fields)) await page.fill(`[name=${name}]`, value);
  return { context, page };
}

// In the page, before submitting: the submit's time, the most row elements
// the document held at once, and the long tasks seen.
function installProbe() {
  const probe = { submitted: 0, maxRows: 0, longTasks: [] };
  window.kvoProbe = probe;
  document.addEventListener('submit', () => { probe.submitted = performance.now(); }, { capture: true });
  new MutationObserver(() => {
    probe.maxRows = Math.max(probe.maxRows, document.querySelectorAll('tr, [role=row]').length);
  })
    .observe(document.body, { childList: true, subtree: true });
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) probe.longTasks.push([entry.startTime, entry.duration]);
  }).observe({ type: 'longtask' });
}

// Resolves, in the page, at the frame after a result row is in the
// viewport and the count line says `countText`: ms since the submit (rows:
// when the first rows were in view, which the program sends before it has
// counted; shown: when the count was there too), and when the program's
// answer had arrived.
function waitRowsShown(countText) {
  return new Promise((resolve) => {
    let rows = NaN;
    const tick = () => {
      const row = document.querySelector('#TableBox .Row');
      const count = document.getElementById('CountLine').textContent;
      const inView = window.kvoProbe.submitted && row && row.getBoundingClientRect().top < innerHeight;
      if (inView && Number.isNaN(rows)) rows = performance.now() - window.kvoProbe.submitted;
      if (inView && count.includes(countText)) {
        requestAnimationFrame(() => {
          const answer = performance.getEntriesByType('resource').filter((e) => e.name.includes('/cgi-bin/')).at(-1);
          resolve({ rows, shown: performance.now() - window.kvoProbe.submitted,
            answered: answer ? answer.responseEnd - window.kvoProbe.submitted : NaN, count });
        });
      } else {
        requestAnimationFrame(tick);
      }
    };
    tick();
  });
}

async function viewQuery(browser, fields, countText) {
  const { context, page } = await openForm(browser, fields);
  await page.evaluate(installProbe);
  const shown = page.evaluate(waitRowsShown, countText);
  await page.click('button.Primary');
  const result = await shown;
  return { context, page, result };
}

// Today's page: the form posted without scripts; load event since the
// navigation started, page size and rows.
async function classicQuery(browser, fields) {
  const { context, page } = await openForm(browser, fields, { javaScript: false });
  await Promise.all([page.waitForNavigation({ waitUntil: 'load', timeout: 600000 }), page.click('button.Primary')]);
  const figures = await page.evaluate(() => {
    const nav = performance.getEntriesByType('navigation')[0];
    return { loaded: nav.loadEventEnd, bytes: nav.decodedBodySize,
      rows: document.getElementsByTagName('tr').length, height: document.documentElement.scrollHeight,
      stopped: /Listing stopped after \d+ seconds/.test(document.body.textContent) };
  });
  await context.close();
  return figures;
}

// Scrolls the table box by wheel (30 screens) and by jumps (60 random
// places, as when dragging the scroll bar): long tasks, the most rows at
// once and whether the last rows show at the end.
async function scrollAround(page) {
  await page.evaluate(() => { window.kvoProbe.longTasks = []; window.kvoProbe.maxRows = 0; });
  const box = await page.$('#TableBox');
  const { x, y, width, height } = await box.boundingBox();
  await page.mouse.move(x + width / 2, y + height / 2);
  for (let i = 0; i < 30; ++i) {
    await page.mouse.wheel(0, height);
    await page.waitForTimeout(16);
  }
  await page.evaluate(async () => {
    const target = document.getElementById('TableBox');
    const frame = () => new Promise((r) => requestAnimationFrame(r));
    let seed = 7;
    for (let i = 0; i < 60; ++i) {
      seed = (seed * 48271) % 2147483647;
      target.scrollTop = (seed / 2147483647) * target.scrollHeight;
      await frame();
      await frame();
    }
    target.scrollTop = target.scrollHeight;
    await frame();
    await frame();
  });
  return page.evaluate(() => {
    const rows = document.querySelectorAll('#TableBox .Row');
    const tasks = window.kvoProbe.longTasks.map(([, d]) => d);
    return { longTasks: tasks.length, longest: Math.max(0, ...tasks), maxRows: window.kvoProbe.maxRows,
      lastRow: rows[rows.length - 1]?.getAttribute('aria-rowindex') };
  });
}

function line(label, value, goal, reference = '') {
  console.log(`| ${label} | ${value} | ${goal} | ${reference} |`);
}

const browser = await launchChromium();
try {
  const day = { rows: [], shown: [], answered: [], classic: [] };
  const month = { rows: [], shown: [], answered: [], classic: [] };
  let dayCount = '';
  let monthCount = '';
  for (let i = 0; i < rounds; ++i) {
    for (const [fields, figures] of [[kDay, day], [kMonth, month]]) {
      const run = await viewQuery(browser, { ...fields, MaxLines: '100' }, 'showing 1 to 100 ');
      figures.rows.push(run.result.rows);
      figures.shown.push(run.result.shown);
      figures.answered.push(run.result.answered);
      if (fields === kDay) dayCount = run.result.count; else monthCount = run.result.count;
      await run.context.close();
      figures.classic.push((await classicQuery(browser, { ...fields, MaxLines: '100' })).loaded);
    }
  }
  const all = { shown: [], answered: [], maxRows: 0 };
  let scroll = null;
  let allCount = '';
  for (let i = 0; i < Math.max(1, Math.ceil(rounds / 2)); ++i) {
    const run = await viewQuery(browser, { ...kMonth, MaxLines: '100000' }, 'showing 1 to 100,000 ');
    all.shown.push(run.result.shown);
    all.answered.push(run.result.answered);
    allCount = run.result.count;
    all.maxRows = Math.max(all.maxRows, await run.page.evaluate(() => window.kvoProbe.maxRows));
    if (!scroll) scroll = await scrollAround(run.page);
    await run.context.close();
  }
  const classic = [];
  for (let i = 0; i < classicRounds; ++i) classic.push(await classicQuery(browser, { ...kMonth, MaxLines: '100000' }));

  const ms = (v) => `${Math.round(v)} ms`;
  console.log(`rounds: ${rounds}; one day: "${dayCount}"; month: "${monthCount}"; 100,000: "${allCount}"`);
  console.log('| figure | result view (median) | goal | today\'s page (median), ratio |');
  console.log('|---|---|---|---|');
  for (const [name, f] of [['one day', day], ['whole month', month]]) {
    line(`100-row query, ${name}: submit to first rows visible`, ms(median(f.rows)), '<= 300 ms',
      `${ms(median(f.classic))} to load; ${(median(f.rows) / median(f.classic)).toFixed(2)}x`);
    line(`  counted too (the count line complete)`, ms(median(f.shown)), '', '');
    line(`  of which the program's answer arrived`, ms(median(f.answered)), '', '');
  }
  const classicAll = classic.length ? median(classic.map((c) => c.loaded)) : NaN;
  line('100,000 rows: submit to loaded, counted, scrollable', ms(median(all.shown)), '<= 2,000 ms',
    classic.length ? `${ms(classicAll)} to load (${(classic[0].bytes / 1e6).toFixed(1)} MB, ` +
      `${classic[0].rows} TR, ${classic[0].height} px tall` +
      `${classic[0].stopped ? ', cut by the program\'s time limit' : ''}); ` +
      `${(median(all.shown) / classicAll).toFixed(3)}x` : 'skipped');
  line('  of which the program\'s answer arrived', ms(median(all.answered)), '', '');
  line('most row elements (TR or role=row) in the page, loading and scrolling', String(Math.max(all.maxRows, scroll.maxRows)),
    '<= 2,000', classic.length ? `${classic[0].rows}` : '');
  line('long tasks while scrolling (30 wheel screens, 60 jumps)', `${scroll.longTasks}, longest ${ms(scroll.longest)}`,
    'none over 50 ms', '');
  line('last row shown after scrolling to the end', String(scroll.lastRow), '100001', '');
} finally {
  await browser.close();
}
