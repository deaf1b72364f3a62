// Asks the program for a query's answer as JSON. The query goes in a POST
// body, as the form sends it: its Windows-1252 bytes in an address would
// make some servers (lighttpd) refuse the request.
import { encodeQuery } from './query.js';

// One of {kind: 'result', data} (200), {kind: 'invalid', messages} (400),
// {kind: 'failed', text}, {kind: 'aborted'}, or {kind: 'html'} when the
// program answered with its page: a version without JSON.
export async function fetchAnswer(action, query, signal) {
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
    if (type.includes('json')) body = await response.json();
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
