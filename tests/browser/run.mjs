// Drives the query form, the program's own page and the result view in
// headless Chromium, against a server that scripts/browser-test has started.
//
// Environment:
//   KVO_BASE_URL   address of the form page, e.g. http://127.0.0.1:41234/
//   KVO_MANIFEST   the generator's output: "<path>\t<data lines>\t<sender lines>"
//   KVO_SENDER     the sender address the generator was given
//   KVO_SHOT_DIR   where the screenshots go (browser-*.png)
//   KVO_CHROMIUM   browser executable (default /usr/bin/chromium)
//   KVO_ONLY       run only the tests whose name contains this text
import { join } from 'node:path';
import { classicTests } from './classic.mjs';
import { launchChromium, requireEnv } from './support.mjs';
import { viewTests } from './view.mjs';

const shotDir = requireEnv('KVO_SHOT_DIR');
const only = process.env.KVO_ONLY ?? '';

const browser = await launchChromium();
let passed = 0;
let failed = 0;
try {
  for (const [name, options, body] of [...classicTests, ...viewTests]) {
    if (!name.includes(only)) continue;
    const context = await browser.newContext({
      javaScriptEnabled: options.javaScript ?? true,
      permissions: options.permissions ?? [],
    });
    const page = await context.newPage();
    page.setDefaultTimeout(15000);
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    const started = Date.now();
    try {
      await body(page);
      if (errors.length > 0) throw new Error(`script errors: ${errors.join('; ')}`);
      ++passed;
      console.log(`ok - ${name} (${Date.now() - started} ms)`);
    } catch (error) {
      ++failed;
      console.log(`not ok - ${name}\n  ${String(error.message).split('\n').join('\n  ')}`);
      await page.screenshot({ path: join(shotDir, 'browser-failure.png'), fullPage: true })
        .catch(() => {});
    } finally {
      await context.close();
    }
  }
} finally {
  await browser.close();
}
console.log(`browser-test: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
