// The result table: a sticky header and, of any number of rows, only those
// near the visible part of its scroll box in the page. Rows are ARIA grid
// rows of one height, placed by transform in a body as tall as all rows;
// a row that stays in view is left alone while scrolling, and one that
// leaves is refilled with a row coming into view.
import { fillCell } from './columns.js';

const kOverscan = 5;  // rows drawn beyond each edge of the box

function element(tag, className, role) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (role) node.setAttribute('role', role);
  return node;
}

export class VirtualTable {
  // `box` is the scroll box the table lives in. Callbacks: onSort(column
  // index), onPage(+1 or -1), onOpenRow(row of the answer).
  constructor(box, { onSort, onPage, onOpenRow }) {
    this.box_ = box;
    this.callbacks_ = { onSort, onPage, onOpenRow };
    this.grid_ = element('div', 'Grid', 'table');
    this.head_ = element('div', 'GridHead', 'rowgroup');
    this.body_ = element('div', 'GridBody', 'rowgroup');
    this.grid_.append(this.head_, this.body_);
    box.append(this.grid_);
    this.rows_ = [];
    this.order_ = null;      // view position -> index into rows_, when sorted here
    this.columns_ = [];
    this.pieces_ = [];
    this.drawn_ = new Map();  // view position -> row element in the page
    this.window_ = [0, 0];
    this.active_ = -1;
    this.rowHeight_ = 0;     // px, measured on the first row drawn
    this.bodyHeight_ = -1;   // px, as set on the body
    this.headHeight_ = 0;
    this.boxHeight_ = 0;
    this.pending_ = false;
    new ResizeObserver(() => {
      this.boxHeight_ = box.clientHeight;
      this.headHeight_ = this.head_.offsetHeight;
      this.schedule_();
    }).observe(box);
    box.addEventListener('scroll', () => this.schedule_(), { passive: true });
    box.addEventListener('keydown', (event) => this.onKey_(event));
    box.addEventListener('click', (event) => this.onClick_(event));
    box.addEventListener('dblclick', (event) => {
      const index = this.viewIndexOf_(event.target);
      if (index >= 0) this.callbacks_.onOpenRow(this.rowAt(index));
    });
  }

  // Shows `rows` (arrays of fields) under `columns`; `pieces[i]` are the
  // texts to mark in column i; `sort` is {column, dir} or null, for the
  // header's marks.
  show({ columns, rows, pieces, sort }) {
    this.columns_ = columns;
    this.rows_ = rows;
    this.pieces_ = pieces;
    this.order_ = null;
    this.grid_.style.setProperty('--columns', columns.map((c) => `minmax(0, ${c.width}fr)`).join(' '));
    this.grid_.setAttribute('aria-rowcount', String(rows.length + 1));
    this.drawHead_(sort);
    this.restart_();
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
    this.restart_();
  }

  get count() {
    return this.rows_.length;
  }

  // The row at view position `index`.
  rowAt(index) {
    return this.rows_[this.order_ ? this.order_[index] : index];
  }

  restart_() {
    this.active_ = -1;
    this.drawn_.clear();
    this.body_.replaceChildren();
    this.window_ = [0, 0];
    this.box_.scrollTop = 0;
    this.headHeight_ = this.head_.offsetHeight;
    this.boxHeight_ = this.box_.clientHeight;
    this.render_();
  }

  drawHead_(sort) {
    const row = element('div', 'GridRow', 'row');
    row.setAttribute('aria-rowindex', '1');
    this.columns_.forEach((column, i) => {
      const cell = element('div', column.kind === 'size' ? 'Cell Number' : 'Cell', 'columnheader');
      const sorted = sort && sort.column === i;
      cell.setAttribute('aria-sort', sorted ? (sort.dir === 'asc' ? 'ascending' : 'descending') : 'none');
      const button = element('button', 'SortButton');
      button.type = 'button';
      button.dataset.column = String(i);
      button.append(column.label);
      const mark = element('span', 'SortMark');
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = sorted ? (sort.dir === 'asc' ? ' \u25b2' : ' \u25bc') : '';
      button.append(mark);
      cell.append(button);
      row.append(cell);
    });
    this.head_.replaceChildren(row);
  }

  schedule_() {
    if (this.pending_) return;
    this.pending_ = true;
    requestAnimationFrame(() => {
      this.pending_ = false;
      this.render_();
    });
  }

  // Draws the rows near the visible part of the box, refilling those that
  // left it; the page keeps them in view order.
  render_() {
    if (this.count > 0 && this.rowHeight_ === 0) {
      const probe = this.newRow_();
      this.body_.append(probe);
      this.rowHeight_ = probe.getBoundingClientRect().height || 30;
      probe.remove();
    }
    const height = this.rowHeight_ || 30;
    if (this.bodyHeight_ !== this.count * height) {
      this.bodyHeight_ = this.count * height;
      this.body_.style.height = `${this.bodyHeight_}px`;
    }
    const top = Math.max(0, this.box_.scrollTop - this.headHeight_);
    const first = Math.max(0, Math.floor(top / height) - kOverscan);
    const last = Math.min(this.count, Math.ceil((top + this.boxHeight_) / height) + kOverscan);
    if (first === this.window_[0] && last === this.window_[1]) return;
    this.window_ = [first, last];
    const free = [];
    for (const [index, row] of this.drawn_) {
      if (index < first || index >= last) {
        free.push(row);
        this.drawn_.delete(index);
      }
    }
    const kept = [...this.drawn_.keys()];
    const keptFirst = kept.length > 0 ? Math.min(...kept) : -1;
    const before = [];
    const after = [];
    for (let i = first; i < last; ++i) {
      if (this.drawn_.has(i)) continue;
      const row = free.pop() ?? this.newRow_();
      this.fillRow_(row, i);
      this.drawn_.set(i, row);
      (i < keptFirst ? before : after).push(row);
    }
    for (const row of free) row.remove();
    if (kept.length === 0) {
      this.body_.replaceChildren(...after);
    } else {
      this.body_.prepend(...before);
      this.body_.append(...after);
    }
  }

  newRow_() {
    const row = element('div', 'GridRow Row', 'row');
    for (const column of this.columns_) {
      row.append(element('div', column.kind === 'size' ? 'Cell Number' : 'Cell', 'cell'));
    }
    return row;
  }

  fillRow_(row, index) {
    const fields = this.rowAt(index);
    row.className = `GridRow Row${index % 2 === 1 ? ' Odd' : ''}${index === this.active_ ? ' Active' : ''}`;
    row.dataset.index = String(index);
    row.setAttribute('aria-rowindex', String(index + 2));
    row.style.transform = `translateY(${index * this.rowHeight_}px)`;
    const cells = row.children;
    this.columns_.forEach((column, i) => {
      fillCell(cells[i], column, String(fields[column.field] ?? ''), this.pieces_[i]);
    });
  }

  viewIndexOf_(target) {
    const row = target.closest && target.closest('.Row');
    return row ? Number(row.dataset.index) : -1;
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
    this.drawn_.get(this.active_)?.classList.remove('Active');
    this.active_ = Math.max(0, Math.min(this.count - 1, index));
    this.drawn_.get(this.active_)?.classList.add('Active');
    const height = this.rowHeight_ || 30;
    const rowTop = this.active_ * height;
    const room = this.boxHeight_ - this.headHeight_;
    if (rowTop < this.box_.scrollTop) this.box_.scrollTop = rowTop;
    else if (rowTop + height > this.box_.scrollTop + room) this.box_.scrollTop = rowTop + height - room;
    this.render_();
    this.drawn_.get(this.active_)?.classList.add('Active');
  }

  onKey_(event) {
    if (event.target !== this.box_ || event.altKey || event.ctrlKey || event.metaKey) return;
    const page = Math.max(1, Math.floor((this.boxHeight_ - this.headHeight_) / (this.rowHeight_ || 30)) - 1);
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
