// The columns of each log as the table shows them, and how one cell is drawn.
import { formatCount, formatSize, literalPieces, matchRanges, sizeOf, splitRecipients } from './format.js';

// field: position in a row of the answer; width: share of the table's width;
// criteria: the selections whose literal pieces are marked in the column;
// serverOrder: the answer's Order per direction, where the program sorts.
const kIncoming = [
  { field: 0, label: 'Date', kind: 'date', width: 13.5, serverOrder: { asc: 'date', desc: 'newest' } },
  { field: 1, label: 'POP3 account', width: 9.5, criteria: ['pop3_account'] },
  { field: 2, label: 'From', width: 13, criteria: ['from'] },
  { field: 3, label: 'To', kind: 'recipients', width: 14, criteria: ['to'] },
  { field: 4, label: 'Cc', kind: 'recipients', width: 8.5, criteria: ['to'] },
  { field: 5, label: 'Routed to', width: 10, criteria: ['routed'] },
  { field: 7, label: 'Subject', width: 14.5, criteria: ['subject', 'routed'] },
  { field: 8, label: 'Size', kind: 'size', width: 6, serverOrder: { desc: 'largest' } },
  { field: 9, label: 'Orig. IP addr.', width: 10.5 },
];
const kOutgoing = [
  { field: 0, label: 'Date', kind: 'date', width: 13.5, serverOrder: { asc: 'date', desc: 'newest' } },
  { field: 1, label: 'From', width: 22, criteria: ['from'] },
  { field: 2, label: 'To', kind: 'recipients', width: 24, criteria: ['to'] },
  { field: 3, label: 'Subject', width: 31, criteria: ['subject'] },
  { field: 4, label: 'Size', kind: 'size', width: 8, serverOrder: { desc: 'largest' } },
];
// Shown in a message's details only.
const kIncomingExtra = [{ field: 6, label: 'Rule' }];
const kFoldAfter = 1;  // addresses shown before "+N more", in a list of three or more

export function columnsOf(log) {
  return log === 'Outgoing' ? kOutgoing : kIncoming;
}

// Every field of a message, for its details.
export function detailColumnsOf(log) {
  if (log === 'Outgoing') return kOutgoing;
  return [...kIncoming, ...kIncomingExtra].sort((a, b) => a.field - b.field);
}

// Per column, the literal pieces of the answer's criteria to mark.
export function piecesOf(columns, criteria) {
  return columns.map((column) =>
    (column.criteria ?? []).flatMap((name) => literalPieces(String(criteria?.[name] ?? ''))));
}

// A sort key of one cell, for sorting the loaded rows.
export function sortKeyOf(column, text) {
  return column.kind === 'size' ? sizeOf(text) : text.toLowerCase();
}

function appendMarked(parent, text, pieces) {
  let at = 0;
  for (const [start, end] of matchRanges(text, pieces)) {
    if (start > at) parent.append(text.slice(at, start));
    const mark = document.createElement('mark');
    mark.textContent = text.slice(start, end);
    parent.append(mark);
    at = end;
  }
  if (at < text.length) parent.append(text.slice(at));
}

// `text` as the only content of `cell`; its text node is reused, since
// cells are refilled on every scrolled frame.
function setText(cell, text) {
  const node = cell.firstChild;
  if (node && node === cell.lastChild && node.nodeType === Node.TEXT_NODE) node.data = text;
  else cell.textContent = text;
}

function setTitle(cell, title) {
  if (title) cell.title = title;
  else if (cell.hasAttribute('title')) cell.removeAttribute('title');
}

function foldedRecipients(addresses, pieces) {
  // The button stays whole; the addresses before it are cut to fit.
  const fold = document.createElement('div');
  fold.className = 'Fold';
  const shown = document.createElement('span');
  appendMarked(shown, addresses.slice(0, kFoldAfter).join('; '), pieces);
  const more = document.createElement('button');
  more.type = 'button';
  more.className = 'More';
  more.textContent = `+${addresses.length - kFoldAfter} more`;
  more.setAttribute('aria-label', `${addresses.length - kFoldAfter} more recipients: show the message`);
  fold.append(shown, more);
  return fold;
}

// Draws `text` into `cell`, replacing what it showed. A long recipient list
// shows its first address and a "+N more" button (class More) that opens
// the row.
export function fillCell(cell, column, text, pieces) {
  if (column.kind === 'size') {
    const bytes = sizeOf(text);
    setText(cell, text === '' ? '' : formatSize(bytes));
    setTitle(cell, `${formatCount(bytes)} bytes`);
    return;
  }
  const addresses = column.kind === 'recipients' ? splitRecipients(text) : [];
  if (addresses.length > 2) {
    cell.replaceChildren(foldedRecipients(addresses, pieces));
    setTitle(cell, addresses.join('\n'));
  } else if (pieces.length === 0) {
    setText(cell, text);
    setTitle(cell, text.length > 20 ? text : '');
  } else {
    cell.replaceChildren();
    appendMarked(cell, text, pieces);
    setTitle(cell, text.length > 20 ? text : '');
  }
}
