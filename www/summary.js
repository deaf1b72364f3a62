// The texts above the table: the count line, the interval and criteria, and
// notices about files and an early stop.
import { countOf, dayNumber, formatCount, formatDay, isoDay } from './format.js';

// "1,234 messages (showing 1 to 100 of 1,234)"; "No messages matched";
// while the program still counts (total null), "Counting… (showing 1 to 100)".
export function countLine(data) {
  const shown = data.rows.length;
  if (data.total === null) {
    return `Counting\u2026 (showing ${formatCount(data.offset + 1)} to ${formatCount(data.offset + shown)})`;
  }
  const total = data.stopped ? `At least ${countOf(data.total, 'message')}` : countOf(data.total, 'message');
  if (data.total === 0) return 'No messages matched';
  if (shown === 0) return `${total} (none from ${formatCount(data.offset + 1)} on)`;
  return `${total} (showing ${formatCount(data.offset + 1)} to ${formatCount(data.offset + shown)} ` +
    `of ${formatCount(data.total)})`;
}

function when(day, time) {
  return time ? `${formatDay(day)} ${time}` : formatDay(day);
}

// [label, text] pairs of the interval and every criterion in force.
export function selectionOf(data) {
  const { interval, criteria } = data;
  const pairs = [['Interval', interval.first === interval.last && !interval.time_lo && !interval.time_hi
    ? formatDay(interval.first)
    : `${when(interval.first, interval.time_lo)} to ${when(interval.last, interval.time_hi)}`]];
  const texts = [
    ['pop3_account', 'POP3 account'], ['from', 'From'], ['to', 'To or Cc'],
    ['routed', 'Routed to or subject'], ['subject', 'Subject'],
  ];
  for (const [name, label] of texts) {
    if (criteria[name]) pairs.push([label, criteria[name]]);
  }
  const sizes = [];
  if (criteria.size_min_kb > 0) sizes.push(`at least ${formatCount(criteria.size_min_kb)} KB`);
  if (criteria.size_max_kb > 0) sizes.push(`at most ${formatCount(criteria.size_max_kb)} KB`);
  if (sizes.length > 0) pairs.push(['Size', sizes.join(' and ')]);
  const ip = criteria.ip;
  if (ip) {
    const text = { single: ip.address, range: `${ip.address} to ${ip.second}`,
      subnet: `${ip.address} with mask ${ip.second}` }[ip.kind] ?? ip.address;
    pairs.push(['Orig. IP address', text]);
  }
  return pairs;
}

// The first and last ISO day a log file name stands for.
function periodOf(name) {
  const match = /(\d{4})-(\d{2})(?:-(\d{2}))?\.txt/.exec(name);
  if (!match) return null;
  const [, y, m, d] = match;
  if (d) return [`${y}-${m}-${d}`, `${y}-${m}-${d}`];
  const nextMonth = Date.UTC(Number(y), Number(m), 1) / 86400000;
  return [`${y}-${m}-01`, isoDay(nextMonth - 1)];
}

// [first, last] day numbers of `ranges` that no range of `covered` holds.
function uncovered(ranges, covered) {
  let rest = ranges;
  for (const [lo, hi] of covered) {
    rest = rest.flatMap(([a, b]) => {
      if (hi < a || lo > b) return [[a, b]];
      return [[a, lo - 1], [hi + 1, b]].filter(([x, y]) => x <= y);
    });
  }
  return rest;
}

// Sorted ranges, overlapping and adjoining ones joined.
function merged(ranges) {
  const out = [];
  for (const [lo, hi] of [...ranges].sort((a, b) => a[0] - b[0])) {
    const top = out[out.length - 1];
    if (top && lo <= top[1] + 1) top[1] = Math.max(top[1], hi);
    else if (lo <= hi) out.push([lo, hi]);
  }
  return out;
}

function daysText([lo, hi]) {
  return lo === hi ? formatDay(isoDay(lo)) : `${formatDay(isoDay(lo))} to ${formatDay(isoDay(hi))}`;
}

// Sentences about the days without a log file (a monthly file's absence
// does not count for the days that daily files hold), files that could not
// be read and an early stop.
export function noticesOf(data) {
  const notices = [];
  const first = dayNumber(data.interval.first);
  const last = dayNumber(data.interval.last);
  const files = data.files ?? [];
  const periodDays = (name) => {
    const period = periodOf(name);
    return period ? period.map(dayNumber) : null;
  };
  const covered = files.filter((file) => file.status !== 'missing')
    .map((file) => periodDays(file.name)).filter(Boolean);
  const missing = files.filter((file) => file.status === 'missing');
  const runs = missing.map((file) => [periodDays(file.name), periodDays(file.last ?? file.name)])
    .filter(([from, to]) => from && to)
    .map(([from, to]) => [Math.max(first, from[0]), Math.min(last, to[1])]);
  const reasons = [...new Set(missing.map((file) => file.error ?? 'missing'))].join(', ');
  for (const range of uncovered(merged(runs), covered)) {
    notices.push({ kind: 'Missing', text: `No log file for ${daysText(range)} (${reasons}).` });
  }
  for (const file of files.filter((f) => f.status === 'error')) {
    notices.push({ kind: 'Error', text: `${file.name} could not be read: ${file.error}.` });
  }
  if (data.stopped === 'time limit') {
    notices.push({ kind: 'Error', text: 'The listing stopped at the time limit; the counts are those ' +
      'found until then. Narrow the date interval or the selection.' });
  } else if (data.stopped) {
    notices.push({ kind: 'Error', text: `The listing stopped early (${data.stopped}).` });
  }
  return notices;
}
