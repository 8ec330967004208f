// The web archive in headless Chromium, opened from file:// as a user opens
// it: every page given through the W3C HTML checker (vnu) and axe-core's
// rules (no serious or critical violation), in the light and the dark colour
// scheme and at a phone's width; and the search box of the start page,
// typed into, must show the expected message.
//
//   node browser_checks.mjs ARCHIVE [--axe-pages N] [--search PHRASE=STEM ...]
//                           [--search-limit-ms MS] [--only-search]
//
// --only-search leaves out the checker and axe (the benchmark's timing of
// the search on a large archive). STEM is the file name of a message page (f/TAG/m/STEM.html) that the
// results must link to, or * for any. Prints one line per check and "N passed, N failed".
import { spawnSync } from 'node:child_process';
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, relative } from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(import.meta.url);
const { chromium } = require('playwright-core');
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const vnuJar = join(require.resolve('vnu-jar/package.json'), '..', 'build', 'dist', 'vnu.jar');

const args = process.argv.slice(2);
const archive = args.shift();
let axePages = 40;
let searchLimitMs = 0;
let onlySearch = false;
const searches = [];
while (args.length) {
  const option = args.shift();
  if (option === '--axe-pages') axePages = Number(args.shift());
  else if (option === '--search') {
    const [phrase, stem] = args.shift().split(/=(?=[^=]*$)/);
    searches.push({ phrase, stem });
  } else if (option === '--search-limit-ms') searchLimitMs = Number(args.shift());
  else if (option === '--only-search') onlySearch = true;
  else throw new Error(`unknown option ${option}`);
}

let passed = 0;
let failed = 0;
function report(ok, what) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
}

function htmlFiles(dir) {
  const out = [];
  for (const name of readdirSync(dir)) {
    const path = join(dir, name);
    if (statSync(path).isDirectory()) out.push(...htmlFiles(path));
    else if (name.endsWith('.html')) out.push(path);
  }
  return out;
}

// Every kind of page, then others spread over the archive, up to `limit`.
function pagesForAxe(all, limit) {
  const kinds = [/\/index\.html$/, /search\.html$/, /\/f\/[^/]+\/index\.html$/, /by-number/, /by-date/,
                 /by-sender/, /threads-/, /\/m\/[^/]+\.html$/, /\/t\/[^/]+\.html$/];
  const chosen = new Set();
  for (const kind of kinds) {
    const page = all.find((p) => kind.test(p));
    if (page) chosen.add(page);
  }
  const step = Math.max(1, Math.floor(all.length / Math.max(1, limit - chosen.size)));
  for (let i = 0; i < all.length && chosen.size < limit; i += step) chosen.add(all[i]);
  return [...chosen];
}

const pages = onlySearch ? [] : htmlFiles(archive).sort();

// The HTML checker, on every page at once.
const vnu = onlySearch ? { status: 0 } : spawnSync('java', ['-jar', vnuJar, '--errors-only', '--skip-non-html', archive],
                      { encoding: 'utf8', maxBuffer: 64 << 20 });
if (!onlySearch) report(vnu.status === 0, `HTML checker: ${pages.length} pages` +
       (vnu.status === 0 ? '' : `\n${(vnu.stderr || vnu.stdout || String(vnu.error)).slice(0, 4000)}`));

// Playwright starts the browser with a fresh profile of its own.
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const views = [
    { name: 'light', viewport: { width: 1280, height: 900 }, colorScheme: 'light' },
    { name: 'dark', viewport: { width: 1280, height: 900 }, colorScheme: 'dark' },
    { name: 'phone', viewport: { width: 375, height: 740 }, colorScheme: 'light', isMobile: true },
  ];
  const axeList = pagesForAxe(pages, axePages);
  for (const view of onlySearch ? [] : views) {
    const context = await browser.newContext(view);
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    page.on('requestfailed', (request) => errors.push(`cannot load ${request.url()}: ${request.failure()?.errorText}`));
    let violations = [];
    for (const file of (view.name === 'light' ? axeList : axeList.slice(0, 8))) {
      await page.goto(pathToFileURL(file).href);
      await page.addScriptTag({ content: axeSource });
      const found = await page.evaluate(async () => {
        // No preload: axe would fetch the style sheets itself, which file:// refuses.
        const result = await window.axe.run(document, { resultTypes: ['violations'], preload: false });
        return result.violations
          .filter((v) => v.impact === 'serious' || v.impact === 'critical')
          .map((v) => `${v.id} (${v.impact}): ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`);
      });
      violations.push(...found.map((v) => `${relative(archive, file)}: ${v}`));
      // Nothing sticks out sideways, at any width.
      const wide = await page.evaluate(() => document.documentElement.scrollWidth > window.innerWidth + 1);
      if (wide) violations.push(`${relative(archive, file)}: wider than the window`);
    }
    report(violations.length === 0 && errors.length === 0,
           `axe (serious, critical) and layout, ${view.name}: ${view.name === 'light' ? axeList.length : Math.min(8, axeList.length)} pages` +
           (violations.length || errors.length ? `\n  ${[...violations, ...errors].slice(0, 20).join('\n  ')}` : ''));
    await context.close();
  }

  // The search, typed into the start page freshly opened each time.
  for (const { phrase, stem } of searches) {
    const context = await browser.newContext();
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    await page.goto(pathToFileURL(join(archive, 'index.html')).href);
    await page.type('#q', phrase, { delay: 30 });
    const typed = Date.now();
    let elapsed = -1;
    let links = [];
    try {
      await page.waitForFunction(
        (wanted) => [...document.querySelectorAll('#search-results li a')]
          .some((a) => wanted === '*' || a.getAttribute('href').endsWith(`/m/${wanted}.html`)),
        stem, { timeout: 20000, polling: 10 });
      elapsed = Date.now() - typed;
    } catch {
      links = await page.$$eval('#search-results li a', (as) => as.map((a) => a.getAttribute('href')));
    }
    const fast = searchLimitMs === 0 || (elapsed >= 0 && elapsed <= searchLimitMs);
    report(elapsed >= 0 && fast && errors.length === 0,
           `search "${phrase}" finds ${stem}` + (elapsed >= 0 ? ` in ${elapsed} ms after the last key` : '') +
           (elapsed < 0 ? `\n  results: ${links.slice(0, 10).join(' ')}` : '') +
           (errors.length ? `\n  ${errors.join('\n  ')}` : ''));
    await context.close();
  }
} finally {
  await browser.close();
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
