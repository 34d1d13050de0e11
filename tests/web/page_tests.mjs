// The page's browser tests: node page_tests.mjs URL COMPANION [ONLY], ONLY
// a pattern of the names of the tests to run. One line per test; exits
// non-zero on any failure.
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inspect } from 'node:util';

import {
    byId,
    launchBrowser,
    readBox,
    readThroughChooser,
    takeDownloads,
    takeMessage,
    typeOver,
    withPage,
} from './browser.mjs';
import { runCompanion } from './companion.mjs';
import { focusOrder, formControls } from './form_table.mjs';

const [url, companion, only] = process.argv.slice(2);
if (!url || !companion) {
    console.error('usage: node page_tests.mjs URL LINUX_COMPANION [NAME_PATTERN]');
    process.exit(2);
}
const repoRoot = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const kExampleList = join(repoRoot, 'examples', 'EXAMPLE.INF');
const scratch = mkdtempSync(join(tmpdir(), 'varidac-page-'));

// Lists that the reader refuses, each for its own reason.
const kBadLists = [
    { name: 'NO1600.INF', text: readFileSync(kExampleList, 'latin1').replace('1600,11.5\r\n', ''), close: 'click' },
    { name: 'LETTER.INF', text: readFileSync(kExampleList, 'latin1').replace('800,3.2', '800,3.x2'), close: 'Escape' },
];

// Start Filler runs: keys typed into the voltage fields (a refused key
// among them) and the text they must leave, the option clicked (none keeps
// the start-up choice), the browser's language and the locale the
// companion then runs in.
const kFillerRuns = [
    {
        what: 'typed voltages, 27C256',
        start: { keys: '1x.2.5', shows: '1.25' },
        end: { keys: '1a2.5', shows: '12.5' },
        eprom: 2,
        browserLocale: 'en-US',
        companionLocale: 'C.UTF-8',
        again: true,
    },
    { what: 'German decimal comma, 27C128', eprom: 1, browserLocale: 'de-DE', companionLocale: 'de_DE.UTF-8' },
];

// The list editor's points: the keys typed into each field, what the field
// then shows, and the voltage as the saved list writes it.
const kEditorPoints = [
    ['2.10', '2.10', '2.1'],
    ['2,6', '2.6', '2.6'],
    ['03.20', '03.20', '3.2'],
    ['3.9x', '3.9', '3.9'],
    ['4..7', '4.7', '4.7'],
    ['5.6', '5.6', '5.6'],
    ['6.6', '6.6', '6.6'],
    ['7.7', '7.7', '7.7'],
    ['8.9', '8.9', '8.9'],
    ['10.2', '10.2', '10.2'],
    ['11.5', '11.5', '11.5'],
];
const kSavedListName = 'MYLIST.INF';

const textOf = (files) => new Map([...files].map(([name, bytes]) => [name, bytes.toString('latin1')]));

// Equal bytes, or where they first differ.
function assertSameBytes(actual, expected, what) {
    assert.ok(actual, `${what}: missing`);
    if (actual.equals(expected)) return;
    let at = 0;
    while (at < actual.length && at < expected.length && actual[at] === expected[at]) ++at;
    const around = (bytes) => JSON.stringify(bytes.subarray(Math.max(0, at - 16), at + 16).toString('latin1'));
    assert.fail(`${what}: ${actual.length} bytes, expected ${expected.length}; first difference at ${at}: ${around(actual)}, expected ${around(expected)}`);
}

// Reads the example list, types the voltages, chooses the type and runs
// Start Filler: the message and both downloads must be what the companion
// gives for the same list, voltages, type and locale.
async function fillerScenario(session, run) {
    const { page } = session;
    await readThroughChooser(page, kExampleList);
    for (const [id, field] of [['txtStartVoltage', run.start], ['txtEndVoltage', run.end]]) {
        if (!field) continue;
        await typeOver(page, id, field.keys);
        assert.equal(await page.inputValue(byId(id)), field.shows, `${id} after typing "${field.keys}"`);
    }
    if (run.eprom !== undefined) {
        await page.click(byId(`optEprom(${run.eprom})`));
        assert.ok(await page.isChecked(byId(`optEprom(${run.eprom})`)), 'the clicked option is checked');
    }
    await page.click(byId('cmdFiller'));
    const shown = await takeMessage(page);
    const downloads = await takeDownloads(session, 2);

    const expected = runCompanion(companion, {
        listName: 'EXAMPLE.INF',
        listBytes: readFileSync(kExampleList),
        start: run.start?.shows,
        end: run.end?.shows,
        eprom: run.eprom,
        locale: run.companionLocale,
    });
    assert.equal(expected.status, 0, `the companion refused the run: ${expected.message.lines.join(' / ')}`);
    assert.deepEqual({ title: shown.title, lines: shown.lines }, expected.message, 'the Run OK message');
    assert.equal(shown.icon, 'information', 'the Run OK icon');
    assert.deepEqual([...downloads.keys()].sort(), [...expected.files.keys()], 'the names of the downloads');
    for (const [name, bytes] of expected.files) assertSameBytes(downloads.get(name), bytes, `the download ${name}`);
    const listed = await page.locator('#downloads a').evaluateAll((links) => links.map((a) => a.download || a.textContent.trim()));
    assert.deepEqual(listed.sort(), [...expected.files.keys()], 'the links under the window');
    return expected;
}

// Opens the curve window, starts a new list, types the eleven points and
// saves it under a new name: the download is the list's exact text.
// Opens the curve window on a new list and types every point into it.
async function typeNewList(page) {
    await page.dblclick(byId('txtDAlist'));
    const curveWindow = page.locator('#CurveWindow');
    await curveWindow.waitFor({ state: 'visible' });
    await page.click(byId('cmdNew'));
    await page.click(byId('txtPoint(0)'));
    for (const [i, [keys]] of kEditorPoints.entries()) {
        await page.keyboard.type(keys);
        // Enter goes on to the next point, as on the desktop.
        if (i + 1 < kEditorPoints.length) await page.keyboard.press('Enter');
    }
    for (const [i, [keys, shows]] of kEditorPoints.entries()) {
        assert.equal(await page.inputValue(byId(`txtPoint(${i})`)), shows, `txtPoint(${i}) after typing "${keys}"`);
    }
    return curveWindow;
}

// Names the new list in the save box and takes the one download.
async function saveAsNewList(session) {
    const { page } = session;
    await readBox(page, 'savebox');
    await page.locator('dialog.savebox[open] input[type="text"]').selectText();
    await page.keyboard.type(kSavedListName);
    await page.locator('dialog.savebox[open] button', { hasText: 'Save' }).click();
    const downloads = await takeDownloads(session, 1);
    const expected = kEditorPoints.map(([, , saved], i) => `${600 + 100 * i},${saved}\r\n`).join('');
    assert.deepEqual(textOf(downloads), new Map([[kSavedListName, expected]]), 'the saved list');
}

async function editorScenario(session) {
    const { page } = session;
    const curveWindow = await typeNewList(page);
    await page.click(byId('cmdSave'));
    await saveAsNewList(session);
    const title = await curveWindow.textContent();
    assert.ok(title.includes(`Tuning curve - ${kSavedListName}`) && !title.includes(`${kSavedListName} *`),
              `the curve window's title after saving: ${title}`);
}

// Closing the curve window with unsaved points asks first: Cancel keeps
// the window; Yes then asks for the new list's name, saves it and closes.
// One close waits for two dialogs in turn.
async function closeUnsavedScenario(session) {
    const { page } = session;
    const curveWindow = await typeNewList(page);
    const close = curveWindow.locator('.close');
    const answer = async (button) => {
        await close.click();
        assert.deepEqual((await readBox(page, 'question')).lines, ['Save changes to the new list?']);
        await page.locator('dialog.question[open] button', { hasText: button }).click();
    };
    await answer('Cancel');
    await page.locator('dialog.question[open]').waitFor({ state: 'detached' });
    assert.ok(await curveWindow.isVisible(), 'Cancel keeps the curve window');
    await answer('Yes');
    await saveAsNewList(session);
    await curveWindow.waitFor({ state: 'hidden' });
}

const allTests = [
    ...kFillerRuns.map((run) => ({
        name: `Start Filler gives the companion's files: ${run.what}`,
        run: (browser) =>
            withPage(browser, url, { locale: run.browserLocale }, async (session) => {
                const expected = await fillerScenario(session, run);
                if (run.again) {
                    // Over the first run's files: each is copied aside (the
                    // page's files have no second names) until the new one
                    // is in place.
                    await session.page.click(byId('cmdFiller'));
                    const shown = await takeMessage(session.page);
                    const downloads = await takeDownloads(session, 2);
                    assert.deepEqual({ title: shown.title, lines: shown.lines }, expected.message, 'the second Run OK message');
                    assert.deepEqual([...downloads.keys()].sort(), [...expected.files.keys()], 'the second downloads');
                    for (const [name, bytes] of expected.files) assertSameBytes(downloads.get(name), bytes, `the second ${name}`);
                }
                if (run.companionLocale !== 'C.UTF-8') {
                    const plain = runCompanion(companion, {
                        listName: 'EXAMPLE.INF', listBytes: readFileSync(kExampleList), eprom: run.eprom, locale: 'C.UTF-8' });
                    const report = 'EXAMPLE_test_DA.TXT';
                    assert.notEqual(expected.files.get(report).toString('latin1'), plain.files.get(report).toString('latin1'),
                                    `the companion's report is the same under ${run.companionLocale} (is the locale generated?)`);
                }
            }),
    })),
    {
        name: 'a refused list shows the message the companion prints, and nothing is read',
        run: (browser) =>
            withPage(browser, url, {}, async ({ page }) => {
                for (const list of kBadLists) {
                    const path = join(scratch, list.name);
                    writeFileSync(path, list.text, 'latin1');
                    await readThroughChooser(page, path);
                    const shown = await takeMessage(page, list.close);
                    const expected = runCompanion(companion, { listName: list.name, listBytes: list.text, locale: 'C.UTF-8' });
                    assert.equal(expected.status, 1, `the companion took ${list.name}`);
                    assert.deepEqual({ title: shown.title, lines: shown.lines }, expected.message, list.name);
                    assert.equal(shown.icon, 'critical', list.name);
                    assert.equal(await page.locator(`${byId('txtDAlist')} [role="option"]`).count(), 0, `the list box after ${list.name}`);
                }
            }),
    },
    {
        name: 'the curve window saves eleven typed points as the list text',
        run: (browser) => withPage(browser, url, {}, editorScenario),
    },
    {
        name: 'closing the curve window with unsaved points asks, and Yes saves before it closes',
        run: (browser) => withPage(browser, url, {}, closeUnsavedScenario),
    },
    {
        name: 'nothing is requested after load and nothing is stored',
        run: (browser) =>
            withPage(browser, url, {}, async (session) => {
                await fillerScenario(session, kFillerRuns[0]);
                await editorScenario(session);
                const origin = new URL(url).origin;
                const readyAt = await session.page.evaluate(
                    () => performance.timeOrigin + performance.getEntriesByName('varidac-ready')[0]?.startTime);
                assert.ok(Number.isFinite(readyAt), 'the page marks "varidac-ready"');
                // By the browser's clock where it tells the start, as the
                // driver may report a request only after the page got ready.
                const sentAfterReady = ({ request, afterReady }) => {
                    const started = request.timing().startTime;
                    return started >= 0 ? started >= readyAt : afterReady;
                };
                const afterLoad = session.requests.filter(sentAfterReady).map((r) => r.url);
                assert.deepEqual(afterLoad, [], 'requests after the page was ready');
                for (const { url: requested, request } of session.requests) {
                    assert.equal(new URL(requested).origin, origin, `a request elsewhere: ${requested}`);
                    const response = await request.response();
                    assert.ok(response && response.status() < 400, `${requested} answered ${response?.status()}`);
                }
                assert.deepEqual(await session.context.cookies(), [], 'cookies');
                assert.equal(await session.page.locator('#privacy:visible').textContent(),
                             'Nothing leaves this computer: the page sends no requests and keeps no cookies or storage.');
                const stored = await session.page.evaluate(async () => ({
                    localStorage: localStorage.length,
                    sessionStorage: sessionStorage.length,
                    indexedDB: (await indexedDB.databases()).map((d) => d.name),
                    caches: await caches.keys(),
                    serviceWorkers: (await navigator.serviceWorker.getRegistrations()).length,
                }));
                assert.deepEqual(stored, { localStorage: 0, sessionStorage: 0, indexedDB: [], caches: [], serviceWorkers: 0 },
                                 'what the page keeps');
            }),
    },
    {
        name: "Tab visits the controls in the table's order, each named for screen readers",
        run: (browser) =>
            withPage(browser, url, {}, async ({ page }) => {
                const controls = formControls(repoRoot);
                const present = await page.evaluate((ids) => ids.filter((id) => document.getElementById(id)), controls.map((c) => c.id));
                assert.deepEqual(present, controls.map((c) => c.id), 'one element per control of the table, by its name');
                const expected = focusOrder(controls);
                await page.focus(byId(expected[0].id));
                const visited = [await page.evaluate(() => document.activeElement.id)];
                for (let i = 1; i < expected.length; ++i) {
                    await page.keyboard.press('Tab');
                    visited.push(await page.evaluate(() => document.activeElement.id));
                }
                assert.deepEqual(visited, expected.map((c) => c.id), 'the ids Tab visits');
                for (const control of expected) {
                    assert.equal(await page.getAttribute(byId(control.id), 'aria-label'), control.accessibleName, `${control.id}'s aria-label`);
                }
            }),
    },
];

// One line: the message, and what was compared when an assertion says it.
function failureText(error) {
    const shown = (value) => inspect(value, { depth: 4, maxStringLength: 120, maxArrayLength: 20, breakLength: Infinity });
    const lines = String(error?.message ?? error).replace(/\x1b\[[0-9;]*m/g, '').split('\n').map((line) => line.trim()).filter(Boolean);
    if (error?.code === 'ERR_ASSERTION' && error.generatedMessage === false && error.operator !== 'fail') {
        return `${lines[0]}: got ${shown(error.actual)}, expected ${shown(error.expected)}`;
    }
    return lines.slice(0, 4).join(' | ');
}

const tests = only ? allTests.filter((test) => new RegExp(only).test(test.name)) : allTests;
if (tests.length === 0) {
    console.error(`no test's name matches ${only}`);
    process.exit(2);
}
let failed = 0;
const browser = await launchBrowser();
try {
    for (const test of tests) {
        const started = Date.now();
        try {
            await test.run(browser);
            console.log(`ok    ${test.name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
        } catch (error) {
            ++failed;
            console.log(`FAIL  ${test.name}: ${failureText(error)}`);
        }
    }
} finally {
    await browser.close();
    rmSync(scratch, { recursive: true, force: true });
}
console.log(`web: ${tests.length - failed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);
