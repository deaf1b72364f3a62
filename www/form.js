// The query form's own behaviour: today's date in a fresh form, quick date
// choices, the fields that only the incoming log has, the time of day
// fields, a network typed as a.b.c.d/nn, and messages beside their fields.
import { splitCidr } from './query.js';

function dayParts(date) {
  return [date.getDate(), date.getMonth() + 1, date.getFullYear()].map(String);
}

function setDates(form, lo, hi) {
  [form.DateLoDay.value, form.DateLoMonth.value, form.DateLoYear.value] = dayParts(lo);
  [form.DateHiDay.value, form.DateHiMonth.value, form.DateHiYear.value] = dayParts(hi);
}

function quickRange(name) {
  const now = new Date();
  const [y, m, d] = [now.getFullYear(), now.getMonth(), now.getDate()];
  switch (name) {
    case 'yesterday': return [new Date(y, m, d - 1), new Date(y, m, d - 1)];
    case 'last7': return [new Date(y, m, d - 6), new Date(y, m, d)];
    case 'thismonth': return [new Date(y, m, 1), new Date(y, m, d)];
    case 'lastmonth': return [new Date(y, m - 1, 1), new Date(y, m, 0)];
    default: return [new Date(y, m, d), new Date(y, m, d)];
  }
}

// The outgoing log has no POP3, routing or address columns: those fields
// are switched off, so that they are neither sent nor listed as criteria.
export function applyLogChoice(form) {
  const outgoing = form.querySelector('input[name=Log]:checked')?.value === 'Outgoing';
  form.querySelectorAll('.IncomingOnly input').forEach((input) => { input.disabled = outgoing; });
  form.querySelectorAll('.IncomingOnly').forEach((part) => part.classList.toggle('Off', outgoing));
}

// "10.0.0.0/8" in the address field becomes address, mask and "Subnet".
function splitNetwork(form) {
  const cidr = splitCidr(form.IpAddress.value);
  if (!cidr || cidr.error) return cidr;
  form.IpAddress.value = cidr.address;
  form.IpAddress2OrSubnetMask.value = cidr.mask;
  form.GrpSubnetOrIpRange.value = 'subnet';
  return null;
}

export function setUpForm(form) {
  const quick = document.getElementById('QuickDates');
  quick.hidden = false;
  quick.addEventListener('click', (event) => {
    const button = event.target.closest('button[data-range]');
    if (button) setDates(form, ...quickRange(button.dataset.range));
  });
  // A reload keeps what the user typed; only a fresh form gets today.
  if (!form.DateLoDay.value && !form.DateLoMonth.value && !form.DateLoYear.value) {
    setDates(form, ...quickRange('today'));
  }
  form.addEventListener('reset', () => {
    setTimeout(() => {
      setDates(form, ...quickRange('today'));
      applyLogChoice(form);
      clearFieldErrors(form);
    }, 0);
  });
  form.addEventListener('change', (event) => {
    if (event.target.name === 'Log') applyLogChoice(form);
    if (event.target.name === 'IpAddress') {
      clearFieldErrors(form, ['IpAddress']);
      const fault = splitNetwork(form);
      if (fault) showFieldErrors(form, [{ field: 'IpAddress', text: fault.error }], false);
    }
  });
  // Without scripts these stay off, so that the form posts as it always has.
  document.querySelectorAll('.ScriptOnly').forEach((part) => { part.hidden = false; });
  form.querySelectorAll('.ScriptOnly input').forEach((input) => { input.disabled = false; });
  applyLogChoice(form);
  if (form.LogFilePath.value.charAt(0) === '@') {
    document.getElementById('FolderWarning').hidden = false;
  }
}

// Splits a network typed into the address field before a query is read.
export function tidyForm(form) {
  const fault = splitNetwork(form);
  return fault ? [{ field: 'IpAddress', text: fault.error }] : [];
}

// Where the message about parameter `name` goes: [element, where], or null.
function placeOf(form, name) {
  const rows = form.querySelectorAll('.DateRow');
  if (/^(DateLo|TimeLo)/.test(name)) return [rows[0], 'after'];
  if (/^(DateHi|TimeHi)/.test(name)) return [rows[1], 'after'];
  if (name === 'Log') return [form.querySelector('fieldset.Log .Choices'), 'after'];
  const field = form.elements.namedItem(name);
  const box = field instanceof HTMLInputElement ? field.closest('.Field') : null;
  return box ? [box, 'append'] : null;
}

export function clearFieldErrors(form, names = null) {
  form.querySelectorAll('.FieldError').forEach((p) => {
    if (!names || names.includes(p.dataset.field)) p.remove();
  });
  form.querySelectorAll('[aria-invalid]').forEach((input) => {
    if (names && !names.includes(input.name)) return;
    input.removeAttribute('aria-invalid');
    const ids = (input.getAttribute('aria-describedby') ?? '').split(' ')
      .filter((id) => id && !id.startsWith('Error-'));
    if (ids.length > 0) input.setAttribute('aria-describedby', ids.join(' '));
    else input.removeAttribute('aria-describedby');
  });
}

// Shows each {field, text} beside its field; returns those that belong to
// no field. `focus`: move to the first field at fault.
export function showFieldErrors(form, messages, focus = true) {
  const unplaced = [];
  let first = null;
  for (const { field, text } of messages) {
    const place = field ? placeOf(form, field) : null;
    if (!place || !place[0]) {
      unplaced.push({ field, text });
      continue;
    }
    const same = document.getElementById(`Error-${field}`);
    if (same) {
      same.textContent += ` ${text}`;
      continue;
    }
    const p = document.createElement('p');
    p.className = 'FieldError';
    p.id = `Error-${field}`;
    p.dataset.field = field;
    p.textContent = text;
    if (place[1] === 'after') place[0].after(p);
    else place[0].append(p);
    const input = form.elements.namedItem(field);
    const target = input instanceof HTMLInputElement ? input : place[0].querySelector('input');
    if (target) {
      target.setAttribute('aria-invalid', 'true');
      const ids = target.getAttribute('aria-describedby');
      target.setAttribute('aria-describedby', ids ? `${ids} ${p.id}` : p.id);
      first ??= target;
    }
  }
  if (focus && first) first.focus();
  return unplaced;
}
