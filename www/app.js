// The query page with scripts: the form asks the program for JSON and the
// answer shows on this page; the query lives in this page's address, so a
// reload, the history and a copied link bring it back. Without scripts the
// form posts to the program as it always has.
import { fetchAnswer } from './answer.js';
import { columnsOf, sortKeyOf } from './columns.js';
import { formatCount } from './format.js';
import {
  applyLogChoice, clearFieldErrors, setUpForm, showFieldErrors, tidyForm,
} from './form.js';
import {
  checkQuery, decodeQuery, kMaxRows, linkSearch, programPairs, readForm, valueOf, withParams,
  writeForm,
} from './query.js';
import { ResultView } from './view.js';

const form = document.getElementById('Query');
const action = form.action;
let state = null;       // {query, data, local: {column, dir} | null} of the shown answer
let controller = null;  // aborts the query under way when a newer one starts

const kServerSorts = {
  date: ['date', 'asc', 'Sorted by date, oldest first, over the whole result.'],
  newest: ['date', 'desc', 'Sorted by date, newest first, over the whole result.'],
  largest: ['size', 'desc', 'Sorted by size, largest first, over the whole result.'],
};

function serverSort(columns, order) {
  const [kind, dir, note] = kServerSorts[order] ?? kServerSorts.date;
  return { sort: { column: columns.findIndex((c) => c.kind === kind), dir }, note };
}

function localNote(columns, { column, dir }, data) {
  const { label, kind } = columns[column];
  const way = kind === 'size' ? (dir === 'asc' ? 'smallest first' : 'largest first')
    : (dir === 'asc' ? 'A to Z' : 'Z to A');
  const count = formatCount(data.rows.length);
  if (data.offset === 0 && !data.truncated) {
    return `Sorted by ${label} (${way}) over all ${count} rows, the whole result, in the browser.`;
  }
  return `Sorted by ${label} (${way}) over the ${count} loaded rows only, in the browser. ` +
    'Date (either way) and Size (largest first) sort the whole result.';
}

function pagingOf(data) {
  const nextOffset = data.offset + data.limit;
  const capped = data.order !== 'date' && nextOffset + data.limit > kMaxRows;
  const loadedAll = data.offset === 0 && data.rows.length >= Math.min(data.total, kMaxRows);
  return {
    previous: data.offset > 0,
    next: data.truncated && data.limit > 0 && !capped,
    loadAll: loadedAll ? null
      : (data.total <= kMaxRows ? `Load all ${formatCount(data.total)}` : `Load the first ${formatCount(kMaxRows)}`),
    note: data.truncated && capped ? `Pages past ${formatCount(kMaxRows)} need the date order.` : '',
  };
}

const view = new ResultView({ onSort, onPage, onPick, onLoadAll, onCopyLink });

// `early`: the rows have come, the counts not yet; the view stays busy.
function show({ early = false } = {}) {
  const { query, data, local } = state;
  const columns = columnsOf(data.log);
  const server = serverSort(columns, data.order);
  view.showResult(data, {
    sort: local ?? server.sort,
    sortNote: local ? localNote(columns, local, data) : server.note,
    exportForm: { action, pairs: [['Format', 'csv'], ...programPairs(query)] },
    paging: early ? { previous: data.offset > 0, next: false, loadAll: null, note: '' }
      : pagingOf(data),
    early,
  });
}

function remember(query, nav) {
  const search = linkSearch(query);
  const link = `${location.pathname}${search ? `?${search}` : ''}`;
  if (nav === 'push' && link !== location.pathname + location.search) history.pushState(null, '', link);
  else history.replaceState(null, '', link);
}

// The program without JSON answered with its page: the form posts as it
// would without scripts.
function postClassic() {
  form.querySelectorAll('.ScriptOnly input').forEach((input) => { input.disabled = true; });
  form.submit();
}

// Asks for `query` and shows the answer. nav: 'push' a new history entry,
// or 'none' (the address holds the query already); focus: move to the result.
async function run(query, { nav, focus = false }) {
  clearFieldErrors(form);
  const faults = checkQuery(query);
  if (faults.length > 0) {
    view.showFailure('The query cannot be sent.', showFieldErrors(form, faults));
    return;
  }
  if (nav !== 'none') remember(query, nav);
  controller?.abort();
  controller = new AbortController();
  view.busy();
  const asked = controller;
  // The result's heading is moved to once, with the first rows shown.
  let focusDue = focus;
  const answer = await fetchAnswer(action, query, controller.signal, (early) => {
    if (asked !== controller) return;
    state = { query, data: { ...early, total: null, truncated: false, days: [], files: [], stopped: null }, local: null };
    show({ early: true });
    if (focusDue) view.focus();
    focusDue = false;
  });
  if (answer.kind === 'aborted') return;
  if (answer.kind === 'html') {
    postClassic();
  } else if (answer.kind === 'invalid') {
    const rest = showFieldErrors(form, answer.messages);
    const beside = rest.length < answer.messages.length ? ' See the messages beside the fields.' : '';
    view.showFailure(`The query has invalid parameters.${beside}`, rest);
  } else if (answer.kind === 'failed') {
    view.showFailure(answer.text);
  } else {
    state = { query, data: answer.data, local: null };
    show();
    if (focusDue) view.focus();
  }
}

function runForm() {
  clearFieldErrors(form);
  const faults = tidyForm(form);
  if (faults.length > 0) {
    showFieldErrors(form, faults);
    return;
  }
  const query = readForm(form);
  query.set('Offset', '0');
  query.set('Order', state ? valueOf(state.query, 'Order') : 'date');
  run(query, { nav: 'push', focus: true });
}

function onSort(index) {
  if (!state) return;
  const columns = columnsOf(state.data.log);
  const column = columns[index];
  const current = state.local ?? serverSort(columns, state.data.order).sort;
  const dir = current.column === index ? (current.dir === 'asc' ? 'desc' : 'asc')
    : (column.kind === 'size' ? 'desc' : 'asc');
  const order = column.serverOrder?.[dir];
  if (order && order !== state.data.order) {
    const limit = Math.min(Number(valueOf(state.query, 'MaxLines')) || 100, kMaxRows);
    run(withParams(state.query, { Order: order, Offset: 0, MaxLines: limit }), { nav: 'push' });
    return;
  }
  state.local = order ? null : { column: index, dir };
  const server = serverSort(columns, state.data.order);
  view.table.sortLoaded(order ? null : (row) => sortKeyOf(column, String(row[column.field] ?? '')), dir,
    state.local ?? server.sort);
  view.showSortNote(state.local ? localNote(columns, state.local, state.data) : server.note);
}

function onPage(step) {
  if (!state) return;
  const paging = pagingOf(state.data);
  if (step > 0 ? !paging.next : !paging.previous) return;
  const offset = Math.max(0, state.data.offset + step * state.data.limit);
  run(withParams(state.query, { Offset: offset }), { nav: 'push' });
}

function onLoadAll() {
  if (!state) return;
  const lines = Math.min(state.data.total, kMaxRows);
  form.MaxLines.value = String(lines);
  run(withParams(state.query, { Offset: 0, MaxLines: lines }), { nav: 'push' });
}

// Narrows the shown query to one whole day.
function onPick(day) {
  if (!state) return;
  const [y, m, d] = day.split('-').map(Number);
  const query = withParams(state.query, {
    DateLoDay: d, DateLoMonth: m, DateLoYear: y, DateHiDay: d, DateHiMonth: m, DateHiYear: y,
    TimeLo: '', TimeHi: '', Offset: 0,
  });
  writeForm(form, query);
  applyLogChoice(form);
  run(query, { nav: 'push', focus: true });
}

async function onCopyLink() {
  const link = location.href;
  try {
    await navigator.clipboard.writeText(link);
    view.toolbarNote('Link copied.');
  } catch {
    view.toolbarNote(`Copy this link: ${link}`);
  }
}

// The query in the page's address, into the form and asked for.
function restore() {
  const query = decodeQuery(location.search);
  if (!query) {
    controller?.abort();
    state = null;
    view.clear();
    return;
  }
  writeForm(form, query);
  applyLogChoice(form);
  const full = readForm(form);
  full.set('Offset', valueOf(query, 'Offset'));
  full.set('Order', valueOf(query, 'Order'));
  run(full, { nav: 'none' });
}

setUpForm(form);
form.addEventListener('submit', (event) => {
  event.preventDefault();
  runForm();
});
window.addEventListener('popstate', restore);
restore();
