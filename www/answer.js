// Asks the program for a query's answer as JSON. The query goes in a POST
// body, as the form sends it: its Windows-1252 bytes in an address would
// make some servers (lighttpd) refuse the request.
import { encodeQuery } from './query.js';

// One of {kind: 'result', data} (200), {kind: 'invalid', messages} (400),
// {kind: 'failed', text}, {kind: 'aborted'}, or {kind: 'html'} when the
// program answered with its page: a version without JSON. The program sends
// the rows before it has counted the whole interval: `onRows`, when given,
// gets the answer up to its rows (no counts yet) as soon as they are there.
export async function fetchAnswer(action, query, signal, onRows = null) {
  let response;
  try {
    response = await fetch(action, {
      method: 'POST',
      signal,
      cache: 'no-store',
      headers: { Accept: 'application/json', 'Content-Type': 'application/x-www-form-urlencoded' },
      body: encodeQuery(query, { extra: [['Format', 'json']] }),
    });
  } catch (error) {
    if (error.name === 'AbortError') return { kind: 'aborted' };
    return { kind: 'failed', text: `The log viewer could not be reached (${error.message}).` };
  }
  const type = response.headers.get('Content-Type') ?? '';
  if (type.startsWith('text/html') && response.ok) return { kind: 'html' };
  let body = null;
  try {
    if (type.includes('json')) {
      body = JSON.parse(await readBody(response, response.status === 200 ? onRows : null));
    }
  } catch (error) {
    if (error.name === 'AbortError') return { kind: 'aborted' };
  }
  if (response.status === 200 && body && Array.isArray(body.rows)) return { kind: 'result', data: body };
  if (response.status === 400 && body && Array.isArray(body.messages)) {
    return { kind: 'invalid', messages: body.messages };
  }
  const detail = body && body.message ? `: ${body.message}` : '';
  return {
    kind: 'failed',
    text: `The log viewer answered ${response.status} ${response.statusText}${detail}.`,
  };
}

// "rows" is followed by what was asked of them; a bare quote never stands
// inside a JSON text, so this marks the end of the rows.
const kAfterRows = /,"offset":(\d+),"limit":(-?\d+),"order":"(\w+)"/;

// The body as text; `onRows` gets the answer so far once its rows are in.
async function readBody(response, onRows) {
  if (!onRows || !response.body) return response.text();
  const reader = response.body.getReader();
  const decoder = new TextDecoder();
  let text = '';
  let told = false;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    text += decoder.decode(value, { stream: true });
    const after = told ? null : kAfterRows.exec(text);
    if (after) {
      told = true;
      try {
        const early = JSON.parse(`${text.slice(0, after.index)}}`);
        if (Array.isArray(early.rows)) {
          onRows({ ...early, offset: Number(after[1]), limit: Number(after[2]), order: after[3] });
        }
      } catch {
        // Not the shape expected: the whole answer will do.
      }
    }
  }
  return text + decoder.decode();
}
