// How numbers, sizes, days and criteria look on the page.

const kGrouping = new Intl.NumberFormat('en-US');
const kMonths = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];
const kWeekdays = ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', 'Fri', 'Sat'];
const kDayMs = 86400000;

// 1234 -> "1,234".
export function formatCount(n) {
  return kGrouping.format(n);
}

// "1 message" / "2 messages".
export function countOf(n, noun) {
  return `${formatCount(n)} ${noun}${n === 1 ? '' : 's'}`;
}

// A byte count with a unit of 1024: "520 B", "639.6 KB", "2.6 MB".
export function formatSize(bytes) {
  const units = ['B', 'KB', 'MB', 'GB', 'TB'];
  let value = bytes;
  let unit = 0;
  while (value >= 1024 && unit < units.length - 1) {
    value /= 1024;
    ++unit;
  }
  const digits = unit === 0 || value >= 100 ? 0 : 1;
  return `${value.toFixed(digits)} ${units[unit]}`;
}

// The Size column as a number; a field that is no number counts as 0.
export function sizeOf(text) {
  const n = Number.parseInt(text, 10);
  return Number.isFinite(n) && n > 0 ? n : 0;
}

// "2024-03-05" as days since 1970 (UTC), and back.
export function dayNumber(iso) {
  const [y, m, d] = iso.split('-').map(Number);
  return Math.round(Date.UTC(y, m - 1, d) / kDayMs);
}

export function isoDay(number) {
  return new Date(number * kDayMs).toISOString().slice(0, 10);
}

// "2024-03-05" -> "Tue 5 Mar 2024".
export function formatDay(iso) {
  const date = new Date(dayNumber(iso) * kDayMs);
  return `${kWeekdays[date.getUTCDay()]} ${date.getUTCDate()} ` +
    `${kMonths[date.getUTCMonth()]} ${date.getUTCFullYear()}`;
}

// The addresses of a To or Cc field ("a@x; b@y").
export function splitRecipients(text) {
  return text.split(/[;,]/).map((s) => s.trim()).filter((s) => s !== '');
}

// The literal runs of a selection pattern, lower case, without its
// wildcards (* ? # [list]): what a selected line holds for certain.
export function literalPieces(pattern) {
  return pattern.split(/\[[^\]]*\]|[*?#]/).map((s) => s.toLowerCase()).filter((s) => s !== '');
}

// Where any of `pieces` occurs in `text`, ignoring case: sorted, merged
// [start, end) pairs.
export function matchRanges(text, pieces) {
  if (pieces.length === 0) return [];
  const lower = text.toLowerCase();
  const found = [];
  for (const piece of pieces) {
    for (let at = lower.indexOf(piece); at >= 0; at = lower.indexOf(piece, at + piece.length)) {
      found.push([at, at + piece.length]);
    }
  }
  found.sort((a, b) => a[0] - b[0]);
  const merged = [];
  for (const range of found) {
    const last = merged[merged.length - 1];
    if (last && range[0] <= last[1]) last[1] = Math.max(last[1], range[1]);
    else merged.push(range);
  }
  return merged;
}
