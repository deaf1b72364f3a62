// A query is a Map from the form's parameter names to their texts, plus
// Offset and Order. It travels three ways: to the program (every field, as
// the form would post it), into the page's own address (the fields that
// differ from a fresh form) and back into the form.
import { decodeFormText, encodeFormText, unencodableChar } from './cp1252.js';

const kDefaults = new Map([
  ['Log', 'Incoming'], ['MaxLines', '100'], ['GrpSubnetOrIpRange', 'range'],
  ['Offset', '0'], ['Order', 'date'],
]);
// The fields of a query in the order the form posts them; LogFilePath is the
// page's own setting and stays out of links.
export const kQueryNames = [
  'Log', 'MaxLines', 'DateLoDay', 'DateLoMonth', 'DateLoYear', 'TimeLo',
  'DateHiDay', 'DateHiMonth', 'DateHiYear', 'TimeHi', 'FromSelection',
  'ToSelection', 'SubjectSelection', 'RoutedSelection', 'POP3AccountSelection',
  'SizeMini', 'SizeMaxi', 'IpAddress', 'GrpSubnetOrIpRange',
  'IpAddress2OrSubnetMask', 'Offset', 'Order',
];
// The most rows one answer may hold; the server's bound for Order and Offset.
export const kMaxRows = 100000;

export function valueOf(query, name) {
  return query.get(name) ?? kDefaults.get(name) ?? '';
}

// The enabled fields of `form` as a query (Offset 0, Order date).
export function readForm(form) {
  const query = new Map();
  for (const [name, value] of new FormData(form)) {
    if (typeof value === 'string') query.set(name, value);
  }
  return query;
}

// Puts `query` into the form; a field it lacks gets its fresh value.
export function writeForm(form, query) {
  for (const name of kQueryNames) {
    const field = form.elements.namedItem(name);
    if (!field) continue;
    // A RadioNodeList checks the radio of that value.
    field.value = valueOf(query, name);
  }
}

// The [name, text] pairs of `query` for the program, as the form posts them.
export function programPairs(query) {
  const names = ['LogFilePath', ...kQueryNames];
  return names.filter((name) => query.has(name)).map((name) => [name, query.get(name)]);
}

// Form encoding of `query` for the program (`extra` pairs first), texts as
// Windows-1252 bytes.
export function encodeQuery(query, { extra = [] } = {}) {
  return [...extra, ...programPairs(query)]
    .map(([name, value]) => `${name}=${encodeFormText(value)}`).join('&');
}

// The search part of a link to this page: the fields that differ from a
// fresh form, texts as UTF-8 as browsers and servers expect in an address
// (some servers refuse other bytes there).
export function linkSearch(query) {
  const pairs = [];
  for (const name of kQueryNames) {
    const value = query.get(name);
    if (value === undefined || value === '' || value === kDefaults.get(name)) continue;
    pairs.push(`${name}=${encodeURIComponent(value).replace(/%20/g, '+')}`);
  }
  return pairs.join('&');
}

// The query of a page address's search part; null when it names no field.
export function decodeQuery(search) {
  const query = new Map();
  for (const part of search.replace(/^\?/, '').split('&')) {
    const eq = part.indexOf('=');
    const name = decodeFormText(eq < 0 ? part : part.slice(0, eq));
    if (kQueryNames.includes(name)) query.set(name, decodeFormText(eq < 0 ? '' : part.slice(eq + 1)));
  }
  return query.size > 0 ? query : null;
}

// `query` with some parameters replaced.
export function withParams(query, changes) {
  const next = new Map(query);
  for (const [name, value] of Object.entries(changes)) next.set(name, String(value));
  return next;
}

// "10.0.0.0/8" as address and dotted mask; null when `text` is no CIDR
// block, {error} when its prefix length is out of range.
export function splitCidr(text) {
  const match = /^\s*(\d{1,3}(?:\.\d{1,3}){3})\s*\/\s*(\d{1,2})\s*$/.exec(text);
  if (!match) return null;
  const bits = Number(match[2]);
  if (bits > 32) return { error: 'A network prefix has 0 to 32 bits.' };
  const mask = bits === 0 ? 0 : (0xffffffff << (32 - bits)) >>> 0;
  const octets = [24, 16, 8, 0].map((shift) => (mask >>> shift) & 0xff);
  return { address: match[1], mask: octets.join('.') };
}

// Faults the browser can tell before asking: texts the log's code page
// cannot hold, an IP field still holding a slash. [{field, text}].
export function checkQuery(query) {
  const faults = [];
  for (const [name, value] of query) {
    const char = unencodableChar(value);
    if (char) {
      const code = char.codePointAt(0).toString(16).toUpperCase().padStart(4, '0');
      faults.push({
        field: name,
        text: `The character "${char}" (U+${code}) cannot be searched for: the logs are ` +
          'Windows-1252 text. Use a wildcard (?) in its place.',
      });
    }
  }
  for (const name of ['IpAddress', 'IpAddress2OrSubnetMask']) {
    if (valueOf(query, name).includes('/')) {
      faults.push({ field: name, text: 'Write a network as a.b.c.d/nn (nn from 0 to 32).' });
    }
  }
  return faults;
}
