// Debian's headless Chromium for the page's tests: SwiftShader's WebGL, nothing
// fetched from outside, a fresh profile each time, and every console error and
// uncaught page error kept for the test to look at.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const CHROMIUM = process.env.OKU_CHROMIUM || '/usr/bin/chromium';
const FLAGS = [
  '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
  '--disable-quic',
];

// autoplay: sound may start without a click (the page's ?autostart runs).
export async function openBrowser({ autoplay = false } = {}) {
  const profile = mkdtempSync(path.join(tmpdir(), 'oku-chromium-'));
  const args = [...FLAGS];
  if (autoplay) args.push('--autoplay-policy=no-user-gesture-required');
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: false,  // --headless=new above: the full browser, not the shell
    args,
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: 1,
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A new page in place of any open one, with `problems`: console errors and uncaught
// errors, in order. beforeLoad(page) may route requests or add scripts first.
export async function openPage(browser, url, { beforeLoad } = {}) {
  const page = await browser.context.newPage();
  for (const old of browser.context.pages()) if (old !== page) await old.close();
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  if (beforeLoad) await beforeLoad(page);
  await page.goto(url);
  return { page, problems };
}
