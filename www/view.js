// The result part of the page: status, count line, interval and criteria,
// notices, the day chart, the tool bar, the table and a message's details.
import { drawChart } from './chart.js';
import { columnsOf, detailColumnsOf, piecesOf } from './columns.js';
import { formatCount, formatSize, sizeOf, splitRecipients } from './format.js';
import { countLine, noticesOf, selectionOf } from './summary.js';
import { VirtualTable } from './table.js';

const byId = (id) => document.getElementById(id);

export class ResultView {
  // Callbacks: onSort(column index), onPage(+1/-1), onPick(ISO day),
  // onLoadAll(), onCopyLink().
  constructor(callbacks) {
    this.section_ = byId('Result');
    this.status_ = byId('ResultStatus');
    this.body_ = byId('ResultBody');
    this.dialog_ = byId('RowDetail');
    this.callbacks_ = callbacks;
    this.log_ = 'Incoming';
    this.table_ = new VirtualTable(byId('TableBox'), {
      onSort: callbacks.onSort,
      onPage: callbacks.onPage,
      onOpenRow: (row) => this.openRow_(row),
    });
    byId('PreviousPage').addEventListener('click', () => callbacks.onPage(-1));
    byId('NextPage').addEventListener('click', () => callbacks.onPage(1));
    byId('LoadAll').addEventListener('click', () => callbacks.onLoadAll());
    byId('CopyLink').addEventListener('click', () => callbacks.onCopyLink());
    this.busyTimer_ = 0;
  }

  get table() {
    return this.table_;
  }

  // While a query runs: the page says so after a moment.
  busy() {
    this.section_.hidden = false;
    this.section_.setAttribute('aria-busy', 'true');
    clearTimeout(this.busyTimer_);
    this.busyTimer_ = setTimeout(() => this.setStatus_('Listing\u2026', ''), 150);
  }

  // Hides the result and the status (a query-less page).
  clear() {
    clearTimeout(this.busyTimer_);
    this.section_.hidden = true;
  }

  setStatus_(text, kind) {
    this.status_.textContent = text;
    this.status_.className = `Status ${kind}`;
  }

  done_() {
    clearTimeout(this.busyTimer_);
    this.section_.removeAttribute('aria-busy');
  }

  // A failed query: `text`, then messages that belong to no field.
  showFailure(text, messages = []) {
    this.done_();
    this.body_.hidden = true;
    this.setStatus_([text, ...messages.map((m) => m.text)].join(' '), 'Failure');
    byId('ResultHeading').textContent = 'No result';
  }

  // Draws an answer. `sort` {column, dir} marks the header; `exportForm`
  // {action, pairs} is what the CSV download posts; `paging` {previous,
  // next, loadAll, note} says which page buttons work and what "load all"
  // fetches; `early`: only the rows are in, the view stays busy.
  showResult(data, { sort, sortNote, exportForm, paging, early = false }) {
    if (early) {
      clearTimeout(this.busyTimer_);
    } else {
      this.done_();
    }
    this.setStatus_('', '');
    this.log_ = data.log;
    this.body_.hidden = false;
    byId('ResultHeading').textContent = `${data.log === 'Outgoing' ? 'Outgoing' : 'Incoming'} mail`;
    byId('CountLine').textContent = countLine(data);
    byId('CountLine').classList.toggle('Empty', data.total === 0);
    byId('Selection').replaceChildren(...selectionOf(data).flatMap(([label, text]) => {
      const dt = document.createElement('dt');
      const dd = document.createElement('dd');
      dt.textContent = label;
      dd.textContent = text;
      return [dt, dd];
    }));
    byId('Notices').replaceChildren(...noticesOf(data).map(({ kind, text }) => {
      const li = document.createElement('li');
      li.className = kind;
      li.textContent = text;
      return li;
    }));
    const days = data.days ?? [];
    // Rows that came before the counts get the chart's room already, empty,
    // so that they do not move when the bars come.
    const chartShown = early ? data.rows.length > 0 : days.length > 0;
    byId('Chart').hidden = !chartShown;
    if (chartShown) {
      drawChart(byId('Chart'), {
        first: data.interval.first, last: data.interval.last, days, onPick: this.callbacks_.onPick,
      });
    }
    byId('Listing').hidden = data.total === 0;
    byId('TableBox').hidden = data.rows.length === 0;
    byId('ExportCsv').hidden = data.rows.length === 0;
    byId('PreviousPage').disabled = !paging.previous;
    byId('NextPage').disabled = !paging.next;
    byId('LoadAll').hidden = !paging.loadAll;
    byId('LoadAll').textContent = paging.loadAll ?? '';
    byId('ToolbarNote').textContent = paging.note ?? '';
    this.fillExport_(exportForm);
    byId('ExportCsv').querySelector('button').textContent =
      `Download CSV (${formatCount(data.offset + 1)} to ${formatCount(data.offset + data.rows.length)})`;
    const columns = columnsOf(data.log);
    this.table_.show({ columns, rows: data.rows, pieces: piecesOf(columns, data.criteria), sort });
    this.showSortNote(sortNote);
  }

  fillExport_({ action, pairs }) {
    const form = byId('ExportCsv');
    form.action = action;
    form.replaceChildren(...pairs.map(([name, value]) => {
      const input = document.createElement('input');
      input.type = 'hidden';
      input.name = name;
      input.value = value;
      return input;
    }), form.querySelector('button'));
  }

  showSortNote(text) {
    byId('SortNote').textContent = text;
  }

  // A short word in the tool bar ("Link copied").
  toolbarNote(text) {
    byId('ToolbarNote').textContent = text;
  }

  // Moves to the result's heading (after a new query from the form).
  focus() {
    const heading = byId('ResultHeading');
    heading.scrollIntoView({ block: 'start' });
    heading.focus({ preventScroll: true });
  }

  openRow_(row) {
    const list = this.dialog_.querySelector('dl');
    list.replaceChildren(...detailColumnsOf(this.log_).flatMap((column) => {
      const dt = document.createElement('dt');
      const dd = document.createElement('dd');
      dt.textContent = column.label;
      const text = String(row[column.field] ?? '');
      if (column.kind === 'recipients') {
        const addresses = splitRecipients(text);
        dd.replaceChildren(...addresses.flatMap((a, i) => (i === 0 ? [a] : [document.createElement('br'), a])));
      } else if (column.kind === 'size') {
        dd.textContent = `${formatSize(sizeOf(text))} (${formatCount(sizeOf(text))} bytes)`;
      } else {
        dd.textContent = text;
      }
      return [dt, dd];
    }));
    byId('RowDetailTitle').textContent = `Message of ${row[0]}`;
    this.dialog_.showModal();
  }
}
