// The result table: a sticky header and, of any number of rows, only those
// near the visible part of its scroll box in the page. Two spacer rows stand
// for the rest, so the scroll bar is that of the whole list.
import { fillCell } from './columns.js';

const kOverscan = 16;  // rows drawn beyond each edge of the box
const kStep = 8;       // the drawn window moves in steps of this many rows

function element(tag, className) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  return node;
}

function spacer() {
  const tr = element('tr', 'Spacer');
  tr.setAttribute('aria-hidden', 'true');
  tr.append(element('td'));
  return tr;
}

export class VirtualTable {
  // `box` is the scroll box the table lives in. Callbacks: onSort(column
  // index), onPage(+1 or -1), onOpenRow(row of the answer).
  constructor(box, { onSort, onPage, onOpenRow }) {
    this.box_ = box;
    this.callbacks_ = { onSort, onPage, onOpenRow };
    this.table_ = element('table', 'Rows');
    this.colgroup_ = element('colgroup');
    this.head_ = element('thead');
    this.body_ = element('tbody');
    this.top_ = spacer();
    this.bottom_ = spacer();
    this.table_.append(this.colgroup_, this.head_, this.body_);
    box.append(this.table_);
    this.rows_ = [];
    this.order_ = null;  // view position -> index into rows_, when sorted here
    this.columns_ = [];
    this.pieces_ = [];
    this.rowHeight_ = 0;
    this.window_ = [-1, -1];
    this.active_ = -1;
    this.pending_ = false;
    box.addEventListener('scroll', () => this.schedule_(), { passive: true });
    window.addEventListener('resize', () => this.schedule_());
    box.addEventListener('keydown', (event) => this.onKey_(event));
    box.addEventListener('click', (event) => this.onClick_(event));
    box.addEventListener('dblclick', (event) => {
      const index = this.viewIndexOf_(event.target);
      if (index >= 0) this.callbacks_.onOpenRow(this.rowAt(index));
    });
  }

  // Shows `rows` (arrays of fields) under `columns`; `pieces[i]` are the
  // texts to mark in column i; `sort` is {column, dir} or null, for the
  // header's marks; `firstNumber` numbers the first row for screen readers.
  show({ columns, rows, pieces, sort, firstNumber }) {
    this.columns_ = columns;
    this.rows_ = rows;
    this.pieces_ = pieces;
    this.order_ = null;
    this.firstNumber_ = firstNumber;
    this.active_ = -1;
    this.drawHead_(sort);
    this.table_.setAttribute('aria-rowcount', String(rows.length + 1));
    this.top_.firstChild.colSpan = columns.length;
    this.bottom_.firstChild.colSpan = columns.length;
    this.box_.scrollTop = 0;
    this.render(true);
  }

  // Sorts the loaded rows by `keyOf(row)` (strings or numbers) in `dir`
  // ('asc' or 'desc'), ties in the answer's order; a null `keyOf` restores
  // the answer's order. `sort` as for show().
  sortLoaded(keyOf, dir, sort) {
    if (keyOf) {
      const keys = this.rows_.map(keyOf);
      const sign = dir === 'asc' ? 1 : -1;
      const order = this.rows_.map((_, i) => i);
      order.sort((a, b) => (keys[a] < keys[b] ? -sign : keys[a] > keys[b] ? sign : a - b));
      this.order_ = order;
    } else {
      this.order_ = null;
    }
    this.drawHead_(sort);
    this.active_ = -1;
    this.box_.scrollTop = 0;
    this.render(true);
  }

  get count() {
    return this.rows_.length;
  }

  // The row at view position `index`.
  rowAt(index) {
    return this.rows_[this.order_ ? this.order_[index] : index];
  }

  drawHead_(sort) {
    this.colgroup_.replaceChildren(...this.columns_.map((column) => {
      const col = element('col');
      col.style.width = `${column.width}%`;
      return col;
    }));
    const tr = element('tr');
    tr.setAttribute('aria-rowindex', '1');
    this.columns_.forEach((column, i) => {
      const th = element('th', column.kind === 'size' ? 'Number' : '');
      th.scope = 'col';
      const sorted = sort && sort.column === i;
      th.setAttribute('aria-sort', sorted ? (sort.dir === 'asc' ? 'ascending' : 'descending') : 'none');
      const button = element('button', 'SortButton');
      button.type = 'button';
      button.dataset.column = String(i);
      button.append(column.label);
      const mark = element('span', 'SortMark');
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = sorted ? (sort.dir === 'asc' ? ' \u25b2' : ' \u25bc') : '';
      button.append(mark);
      th.append(button);
      tr.append(th);
    });
    this.head_.replaceChildren(tr);
  }

  schedule_() {
    if (this.pending_) return;
    this.pending_ = true;
    requestAnimationFrame(() => {
      this.pending_ = false;
      this.render(false);
    });
  }

  // Draws the rows near the visible part of the box; `force` redraws them
  // even when the window has not moved.
  render(force) {
    const height = this.rowHeight_ || 30;
    const headHeight = this.head_.offsetHeight;
    const top = Math.max(0, this.box_.scrollTop - headHeight);
    const visible = Math.ceil(this.box_.clientHeight / height) + 1;
    const first = Math.max(0, Math.floor(top / height / kStep) * kStep - kOverscan);
    const last = Math.min(this.count, first + visible + 2 * kOverscan + kStep);
    if (!force && first === this.window_[0] && last === this.window_[1]) return;
    this.window_ = [first, last];
    const trs = [];
    for (let i = first; i < last; ++i) trs.push(this.drawRow_(i));
    this.body_.replaceChildren(this.top_, ...trs, this.bottom_);
    if (trs.length > 0 && this.rowHeight_ === 0) {
      this.rowHeight_ = trs[0].getBoundingClientRect().height || height;
      if (this.rowHeight_ !== height) {
        this.render(true);
        return;
      }
    }
    this.top_.firstChild.style.height = `${first * height}px`;
    this.bottom_.firstChild.style.height = `${(this.count - last) * height}px`;
  }

  drawRow_(index) {
    const row = this.rowAt(index);
    const tr = element('tr', index % 2 === 1 ? 'Row Odd' : 'Row');
    if (index === this.active_) tr.classList.add('Active');
    tr.dataset.index = String(index);
    tr.setAttribute('aria-rowindex', String(index + 2));
    this.columns_.forEach((column, i) => {
      const td = element('td', column.kind === 'size' ? 'Number' : '');
      fillCell(td, column, String(row[column.field] ?? ''), this.pieces_[i]);
      tr.append(td);
    });
    return tr;
  }

  viewIndexOf_(target) {
    const tr = target.closest && target.closest('tr.Row');
    return tr ? Number(tr.dataset.index) : -1;
  }

  onClick_(event) {
    const sortButton = event.target.closest('button.SortButton');
    if (sortButton) {
      this.callbacks_.onSort(Number(sortButton.dataset.column));
      return;
    }
    const index = this.viewIndexOf_(event.target);
    if (index < 0) return;
    this.setActive_(index);
    if (event.target.closest('button.More')) this.callbacks_.onOpenRow(this.rowAt(index));
  }

  setActive_(index) {
    if (this.count === 0) return;
    this.active_ = Math.max(0, Math.min(this.count - 1, index));
    const height = this.rowHeight_ || 30;
    const headHeight = this.head_.offsetHeight;
    const rowTop = this.active_ * height;
    const room = this.box_.clientHeight - headHeight;
    if (rowTop < this.box_.scrollTop) this.box_.scrollTop = rowTop;
    else if (rowTop + height > this.box_.scrollTop + room) this.box_.scrollTop = rowTop + height - room;
    this.render(true);
  }

  onKey_(event) {
    if (event.target !== this.box_ || event.altKey || event.ctrlKey || event.metaKey) return;
    const height = this.rowHeight_ || 30;
    const page = Math.max(1, Math.floor((this.box_.clientHeight - this.head_.offsetHeight) / height) - 1);
    const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page };
    if (event.key in moves) {
      this.setActive_(Math.max(this.active_, moves[event.key] > 0 ? -1 : 0) + moves[event.key]);
    } else if (event.key === 'Home') {
      this.setActive_(0);
    } else if (event.key === 'End') {
      this.setActive_(this.count - 1);
    } else if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
      this.callbacks_.onPage(event.key === 'ArrowRight' ? 1 : -1);
    } else if (event.key === 'Enter' && this.active_ >= 0) {
      this.callbacks_.onOpenRow(this.rowAt(this.active_));
    } else {
      return;
    }
    event.preventDefault();
  }
}
