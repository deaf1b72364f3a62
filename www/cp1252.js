// Form texts travel to the program as Windows-1252 bytes, percent-encoded,
// because the log files and the program read that code page. Browsers offer
// no encoder for it, so the 27 characters of 0x80-0x9F that differ from
// Latin-1 are listed.

const kHighPage = [
  0x20ac, 0x81, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021,
  0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8d, 0x017d, 0x8f,
  0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
  0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x9d, 0x017e, 0x0178,
];
const kByteOf = new Map(kHighPage.map((code, i) => [code, 0x80 + i]));
const kDecoder = new TextDecoder('windows-1252');
const kUtf8 = new TextDecoder('utf-8', { fatal: true });

function byteOf(code) {
  if (code < 0x80 || (code >= 0xa0 && code <= 0xff)) return code;
  return kByteOf.get(code) ?? -1;
}

// The first character of `text` that Windows-1252 cannot hold, or null.
export function unencodableChar(text) {
  for (const char of text) {
    if (byteOf(char.codePointAt(0)) < 0) return char;
  }
  return null;
}

// `text` as form data: unreserved bytes kept, space as '+', every other byte
// as %XX. Characters outside Windows-1252 must be refused before
// (unencodableChar); here they would become '?'.
export function encodeFormText(text) {
  let out = '';
  for (const char of text) {
    let byte = byteOf(char.codePointAt(0));
    if (byte < 0) byte = 0x3f;
    if (byte === 0x20) out += '+';
    else if (/[A-Za-z0-9*\-._]/.test(String.fromCharCode(byte))) out += String.fromCharCode(byte);
    else out += '%' + byte.toString(16).toUpperCase().padStart(2, '0');
  }
  return out;
}

// The text of one form-encoded value of a page address: UTF-8, as links
// and the browser's address bar write it; bytes that are no UTF-8 (an
// address made for the program) are read as Windows-1252.
export function decodeFormText(encoded) {
  const bytes = [];
  for (let i = 0; i < encoded.length; ++i) {
    const c = encoded[i];
    const hex = encoded.slice(i + 1, i + 3);
    if (c === '+') {
      bytes.push(0x20);
    } else if (c === '%' && /^[0-9A-Fa-f]{2}$/.test(hex)) {
      bytes.push(parseInt(hex, 16));
      i += 2;
    } else {
      const byte = byteOf(c.codePointAt(0));
      bytes.push(byte < 0 ? 0x3f : byte);
    }
  }
  const data = Uint8Array.from(bytes);
  if (bytes.some((b) => b >= 0x80)) {
    try {
      return kUtf8.decode(data);
    } catch {
      // not UTF-8: Windows-1252, below
    }
  }
  return kDecoder.decode(data);
}
