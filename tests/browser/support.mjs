// What the browser tests and the browser benchmark share: starting Chromium,
// the generator's manifest, reading generated logs, and checks.
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';
import { chromium } from 'playwright-core';

export function requireEnv(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set`);
  return value;
}

export function check(condition, message) {
  if (!condition) throw new Error(message);
}

// Headless Debian Chromium without sandbox, GPU or background traffic.
export function launchChromium() {
  return chromium.launch({
    executablePath: process.env.KVO_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// The generator's output "<path>\t<data lines>\t<sender lines>" as a map
// from file name to {path, lines, senders}.
export function readManifest(path) {
  const files = new Map();
  for (const line of readFileSync(path, 'utf8').split('\n')) {
    const [file, lines, senders] = line.split('\t');
    if (file && senders !== undefined) {
      files.set(basename(file), { path: file, lines: Number(lines), senders: Number(senders) });
    }
  }
  return files;
}

// The data lines of a generated log file as arrays of fields (Windows-1252).
export function logLines(path) {
  const text = new TextDecoder('windows-1252').decode(readFileSync(path));
  return text.split(/\r?\n/).filter((line) => /^\d/.test(line)).map((line) => line.split('\t'));
}
