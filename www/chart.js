// The selected messages per day as a bar chart: one SVG rect per day with
// selected lines, placed on the days of the interval. Pointing at a bar (or
// moving to it with the arrow keys) tells its count and size; clicking it
// (or Enter) narrows the query to that day.
import { countOf, dayNumber, formatDay, formatSize } from './format.js';

const kSvg = 'http://www.w3.org/2000/svg';
const kHeight = 100;
const kMaxSpan = 3700;  // beyond ten years, the axis spans the days with lines

function describe(day) {
  return `${formatDay(day.date)}: ${countOf(day.count, 'message')}, ${formatSize(day.bytes)}`;
}

// Fills `figure` (an element with an svg.Chart, a .ChartInfo and a
// .ChartAxis inside) from `days` of the answer over the interval
// `first`..`last` (ISO days); onPick(iso day) narrows.
export function drawChart(figure, { first, last, days, onPick }) {
  const svg = figure.querySelector('svg');
  const info = figure.querySelector('.ChartInfo');
  const hint = 'Point at a bar for its day; click it to list that day only.';
  let start = dayNumber(first);
  let end = dayNumber(last);
  if (end - start > kMaxSpan && days.length > 0) {
    start = dayNumber(days[0].date);
    end = dayNumber(days[days.length - 1].date);
  }
  const span = end - start + 1;
  const most = Math.max(1, ...days.map((day) => day.count));
  svg.setAttribute('viewBox', `0 0 ${span} ${kHeight}`);
  svg.setAttribute('preserveAspectRatio', 'none');
  const peak = days.find((day) => day.count === most);
  svg.setAttribute('aria-label', `Messages per day, ${countOf(days.length, 'day')} with messages` +
    (peak ? `, most on ${formatDay(peak.date)} (${peak.count})` : ''));
  const bars = days.map((day, i) => {
    const rect = document.createElementNS(kSvg, 'rect');
    const height = Math.max(1.5, (day.count / most) * (kHeight - 4));
    rect.setAttribute('x', String(dayNumber(day.date) - start + 0.1));
    rect.setAttribute('width', '0.8');
    rect.setAttribute('y', String(kHeight - height));
    rect.setAttribute('height', String(height));
    rect.setAttribute('class', 'Bar');
    rect.dataset.index = String(i);
    const title = document.createElementNS(kSvg, 'title');
    title.textContent = describe(day);
    rect.append(title);
    return rect;
  });
  svg.replaceChildren(...bars);
  figure.querySelector('.ChartAxis').replaceChildren(
    ...[formatDay(first), `most: ${countOf(most, 'message')} a day`, formatDay(last)].map((text) => {
      const span = document.createElement('span');
      span.textContent = text;
      return span;
    }));
  info.textContent = hint;

  let current = -1;
  const point = (index) => {
    bars.forEach((bar, i) => bar.classList.toggle('Current', i === index));
    current = index;
    info.textContent = index >= 0 ? `${describe(days[index])}. Click to list that day only.` : hint;
  };
  const indexOf = (target) => (target instanceof SVGRectElement ? Number(target.dataset.index) : -1);
  svg.onpointerover = (event) => point(indexOf(event.target));
  svg.onpointerleave = () => point(-1);
  svg.onclick = (event) => {
    const index = indexOf(event.target);
    if (index >= 0) onPick(days[index].date);
  };
  svg.onkeydown = (event) => {
    if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
      const step = event.key === 'ArrowRight' ? 1 : -1;
      point(Math.max(0, Math.min(days.length - 1, (current < 0 ? (step > 0 ? -1 : days.length) : current) + step)));
    } else if ((event.key === 'Enter' || event.key === ' ') && current >= 0) {
      onPick(days[current].date);
    } else {
      return;
    }
    event.preventDefault();
  };
}
