// Debian's Chromium driven through playwright-core, and what the tests do
// with the page the way a user would: real key presses, clicks, the
// browser's own file chooser and downloads.
import { readFileSync } from 'node:fs';
import { chromium } from 'playwright-core';

const kChromium = '/usr/bin/chromium';
// Quiet: the browser itself must send nothing, so that every request
// recorded is the page's.
const kChromiumArgs = [
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];
const kActionMs = 10000;
const kDownloadMs = 10000;

// Each launch gets a fresh profile of its own from playwright-core.
export function launchBrowser() {
    return chromium.launch({ executablePath: kChromium, headless: true, args: kChromiumArgs });
}

// A fresh context with one page on `url`, ready when the form says so.
// Every request from the navigation on is recorded, with whether the page
// was ready when it was sent, and every download and script error.
export async function openPage(browser, url, { locale = 'en-US' } = {}) {
    const context = await browser.newContext({ locale, acceptDownloads: true });
    context.setDefaultTimeout(kActionMs);
    const session = { context, requests: [], downloads: [], errors: [], ready: false };
    context.on('request', (request) => session.requests.push({ url: request.url(), afterReady: session.ready, request }));
    const page = await context.newPage();
    session.page = page;
    page.on('download', (download) => session.downloads.push(download));
    page.on('pageerror', (error) => session.errors.push(String(error)));
    try {
        await page.goto(url);
        await page.waitForFunction(() => document.documentElement.dataset.ready === 'true', null, { timeout: kActionMs });
    } catch (error) {
        await context.close();
        error.message = `the page did not get ready (data-ready="true" on <html>): ${error.message}`;
        if (session.errors.length > 0) error.message += ` (script errors on the page: ${session.errors.join('; ')})`;
        throw error;
    }
    session.ready = true;
    return session;
}

// Runs `body` on a fresh page, then closes it; a script error on the page
// fails the test too, and is told with the failure it may have caused.
export async function withPage(browser, url, options, body) {
    const session = await openPage(browser, url, options);
    let failure;
    try {
        await body(session);
    } catch (error) {
        failure = error;
    }
    await session.context.close();
    const errors = session.errors.length > 0 ? `script errors on the page: ${session.errors.join('; ')}` : '';
    if (failure) {
        if (errors) failure.message += ` (${errors})`;
        throw failure;
    }
    if (errors) throw new Error(errors);
}

// A control by its id as the program names it: "optEprom(2)" holds parentheses.
export const byId = (id) => `[id="${id}"]`;

// Read File, then the file in the browser's own chooser.
export async function readThroughChooser(page, path) {
    const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click(byId('cmdLeeslijst'))]);
    await chooser.setFiles(path);
}

// Replaces a field's whole text by typing `keys` one key at a time.
export async function typeOver(page, id, keys) {
    await page.locator(byId(id)).selectText();
    await page.keyboard.type(keys);
}

// The open message box (or question, or save box) as the user reads it.
export async function readBox(page, kind = 'msgbox') {
    const box = page.locator(`dialog.${kind}[open]`);
    await box.waitFor();
    return box.evaluate((dialog) => ({
        title: dialog.querySelector('.title')?.textContent,
        icon: dialog.querySelector('.icon')?.dataset.icon,
        lines: [...dialog.querySelectorAll('.lines p')].map((p) => p.textContent),
        buttons: [...dialog.querySelectorAll('button')].map((b) => b.textContent.trim()),
    }));
}

// Closes the message box with its OK button, or with a key.
export async function closeMessageBox(page, how = 'click') {
    if (how === 'click') await page.locator('dialog.msgbox[open] button', { hasText: 'OK' }).click();
    else await page.keyboard.press(how);
    await page.locator('dialog.msgbox[open]').waitFor({ state: 'detached' });
}

// The message box's content, then closes it.
export async function takeMessage(page, how = 'click') {
    const message = await readBox(page);
    await closeMessageBox(page, how);
    return message;
}

// Waits for `count` downloads, and a moment more to catch any extra;
// returns every download's bytes by its name.
export async function takeDownloads(session, count) {
    const deadline = Date.now() + kDownloadMs;
    while (session.downloads.length < count && Date.now() < deadline) await session.page.waitForTimeout(50);
    await session.page.waitForTimeout(300);
    const taken = session.downloads.splice(0);
    const files = new Map();
    for (const download of taken) files.set(download.suggestedFilename(), readFileSync(await download.path()));
    return files;
}
