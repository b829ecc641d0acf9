// The web page in a real browser (headless chromium): the window's behaviour over the fake
// keypad of fake_hid.mjs and over the simulated keypad, with screenshots to compare by eye
// with the desktop window's.
//   node browser_test.mjs --site DIR --fake-keypad fake_keypad.js --chromium PATH
//                         [--screenshots DIR]
import { strict as assert } from 'node:assert';
import { mkdtemp, mkdir, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { parseArgs } from 'node:util';

// puppeteer-core comes from npm (package-lock.json): scripts/test web installs it.
const puppeteer = await import('puppeteer-core').then((m) => m.default, () => {
  console.error('browser tests: puppeteer-core is missing; run: npm ci --prefix tests/web');
  process.exit(1);
});

import { installFakeHid, kProductId, kVendorId, loadFakeKeypad } from './fake_hid.mjs';
import { serveFolder } from './static_server.mjs';

const { values: options } = parseArgs({
  options: {
    site: { type: 'string' },
    'fake-keypad': { type: 'string' },
    chromium: { type: 'string', default: '/usr/bin/chromium' },
    screenshots: { type: 'string' },
  },
});

// Control ids of the window (ui/resource_ids.h).
const kKeyLabels = [1022, 1023, 1024, 1026, 1027, 1028];
const kIdOk = 1018;
const kIdRefresh = 1019;
const kIdKeyEdit = 1010;

// A keypad holding six keys: key 4 "a", key 3 "b", key 2 F1, key 1 Ctrl+F5, key 6 the left
// mouse button, key 5 Shift+c (entries of 15 bytes in the order 4, 3, 2, 1, 6, 5).
function sixKeysMemory() {
  const memory = new Array(256).fill(0);
  memory[90] = 0xfc;
  const entries = [[0x01, 0, 0, 0x04], [0x01, 0, 0, 0x05], [0x01, 0, 0, 0x3a],
                   [0x01, 0x01, 0, 0x3e], [0x02, 0, 0, 0, 0, 0, 0, 0x01], [0x01, 0x02, 0, 0x06]];
  entries.forEach((bytes, slot) => bytes.forEach((b, i) => { memory[slot * 15 + i] = b; }));
  return memory;
}
const kSixKeysShown = ['Ctrl+F5', 'F1', 'b', 'a', 'Shift+C', 'Mouse Left'];

// A German keyboard's layout map where it differs from the US one, as the browser gives it.
const kGermanLayout = [['KeyY', 'z'], ['KeyZ', 'y'], ['Semicolon', 'ö'], ['Quote', 'ä'],
                       ['BracketLeft', 'ü'], ['Minus', 'ß']];

const site = await serveFolder(options.site);
const siteOrigin = new URL(site.url).origin;
const keypad = await loadFakeKeypad(options['fake-keypad']);
const profileDir = await mkdtemp(join(tmpdir(), 'quillpad-web-test-'));
const browser = await puppeteer.launch({
  executablePath: options.chromium,
  headless: true,
  userDataDir: join(profileDir, 'profile'),
  args: ['--no-sandbox', '--no-first-run', '--disable-gpu'],
});
if (options.screenshots) await mkdir(options.screenshots, { recursive: true });

// --- helpers ---------------------------------------------------------------------------------

async function openPage({ context, hid = true, noWebHid = false, layout = null } = {}) {
  const page = await (context || browser.defaultBrowserContext()).newPage();
  page.setDefaultTimeout(15000);
  await page.setViewport({ width: 800, height: 720 });
  const problems = [];
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('request', (request) => {
    const url = new URL(request.url());
    if (url.protocol !== 'blob:' && url.protocol !== 'data:' && url.origin !== siteOrigin) {
      problems.push(`request to another origin: ${request.url()}`);
    }
  });
  let fake = null;
  if (hid) fake = await installFakeHid(page, keypad);
  if (noWebHid) {
    await page.evaluateOnNewDocument(() => { delete Navigator.prototype.hid; });
  }
  await page.evaluateOnNewDocument((entries) => {
    window.__cspViolations = [];
    document.addEventListener('securitypolicyviolation',
                              (e) => window.__cspViolations.push(e.violatedDirective));
    // The test decides the layout: a given map, or none (keys get their US names).
    const keyboard = entries === null ? undefined
                                      : { getLayoutMap: async () => new Map(entries) };
    Object.defineProperty(Navigator.prototype, 'keyboard', { get: () => keyboard,
                                                             configurable: true });
  }, layout);
  return { page, fake, problems };
}

async function load(page) {
  await page.goto(site.url);
  await page.waitForFunction(() => !!window.QuillpadPage && !!QuillpadPage.ready);
}
async function ready(page) {
  await page.evaluate(() => QuillpadPage.ready);
  await idle(page);
}
async function idle(page) {
  await page.evaluate(() => QuillpadPage.idle());
}
// What the key labels show (a screen reader hears their names instead).
function labels(page) {
  return page.evaluate((ids) => ids.map((id) => QuillpadPage.text(id)), kKeyLabels);
}
function editText(page) {
  return page.$eval(`[data-id="${kIdKeyEdit}"]`, (e) => e.value);
}
// Waits for the message box, answers it with the button labelled answer, and gives what it
// said.
async function answerMessage(page, answer = 'OK', screenshotName = null) {
  await page.waitForSelector('#message-overlay:not([hidden])');
  if (screenshotName) await screenshot(page, screenshotName);
  const said = await page.evaluate(() => ({
    caption: document.getElementById('message-caption').textContent,
    text: document.getElementById('message-text').textContent,
  }));
  const buttons = await page.$$('#message-buttons button');
  let clicked = false;
  for (const button of buttons) {
    if ((await button.evaluate((b) => b.textContent)) === answer) {
      await button.click();
      clicked = true;
      break;
    }
  }
  assert.ok(clicked, `no button ${answer} in the message "${said.text}"`);
  return said;
}
async function clickControl(page, id) {
  await page.click(`[data-id="${id}"]`);
  await idle(page);
}
async function pressCtrlF5(page) {
  await page.keyboard.down('Control');
  await page.keyboard.press('F5');
  await page.keyboard.up('Control');
  await idle(page);
}
async function screenshot(page, name) {
  if (options.screenshots) await page.screenshot({ path: join(options.screenshots, `${name}.png`) });
}
async function finish({ page, problems }) {
  const violations = await page.evaluate(() => window.__cspViolations);
  assert.deepEqual(violations, [], 'the page broke its own content security policy');
  assert.deepEqual(problems, []);
  await page.close();
}
// The page's accessibility tree as a screen reader gets it (every node, as a flat list).
async function accessibleNodes(page) {
  const nodes = [];
  const walk = (node) => {
    nodes.push(node);
    for (const child of node.children || []) walk(child);
  };
  walk(await page.accessibility.snapshot({ interestingOnly: false }));
  return nodes;
}
// The name of the control with the keyboard focus, and whether it is in the window.
async function focusedControl(page) {
  const node = (await accessibleNodes(page)).find((n) => n.focused && n.role !== 'RootWebArea');
  const inWindow = await page.evaluate(
    () => document.getElementById('window').contains(document.activeElement));
  return { name: node ? node.name : null, inWindow };
}
// Presses keys ("Tab", "Alt+KeyN", "Control+F5"), modifiers held around the last one.
async function pressKeys(page, combo) {
  const keys = combo.split('+');
  for (const key of keys.slice(0, -1)) await page.keyboard.down(key);
  await page.keyboard.press(keys[keys.length - 1]);
  for (const key of keys.slice(0, -1).reverse()) await page.keyboard.up(key);
  await idle(page);
}
// Presses Tab until the control named name has the focus; the controls passed on the way.
async function tabTo(page, name) {
  const passed = [];
  for (let i = 0; i < 30; ++i) {
    await pressKeys(page, 'Tab');
    const focus = await focusedControl(page);
    passed.push(focus.inWindow ? focus.name : '(page)');
    if (focus.inWindow && focus.name === name) return passed;
  }
  assert.fail(`Tab never reached "${name}": ${passed.join(', ')}`);
}

const readHeader = [0, 0x0a, 0x0b, 0x0c, 0x0d, 0x00, 0x00, 0x01, 0x00];
const writeHeader = [0, 0x0a, 0x0b, 0x0c, 0x0d, 0x00, 0x00, 0x02, 0x00];
// The reports of a 256-byte write of memory: the header, then 32 reports of 8 bytes.
function writeReports(memory) {
  const reports = [writeHeader];
  for (let at = 0; at < 256; at += 8) reports.push([0, ...memory.slice(at, at + 8)]);
  return reports;
}

// --- scenarios -------------------------------------------------------------------------------

const scenarios = {
  async 'connect: the start-up read shows the six keys the keypad holds'() {
    keypad.reset();
    keypad.setMemory(sixKeysMemory());
    const context = await browser.createBrowserContext();
    const opened = await openPage({ context });
    const { page, fake } = opened;
    await load(page);
    await ready(page);
    // No keypad granted yet: the simulated one, never written.
    assert.deepEqual(await labels(page), new Array(6).fill('Null'));
    await screenshot(page, 'simulated-keypad');
    await page.click('#connect');
    await idle(page);
    assert.deepEqual(fake.requestFilters,
                     [[{ vendorId: kVendorId, productId: kProductId, usagePage: 1, usage: 3 }]]);
    assert.deepEqual(await labels(page), kSixKeysShown);
    assert.equal(await editText(page), 'Ctrl+F5');
    assert.deepEqual(fake.reports, [readHeader]);
    assert.deepEqual(fake.featureRequests, [0]);
    await screenshot(page, 'six-keys');

    // Key 3, Ctrl+F5 pressed as keys, OK: the keypad keeps it, and got exactly one write.
    fake.reports.length = 0;
    fake.featureRequests.length = 0;
    await clickControl(page, kKeyLabels[2]);
    await pressCtrlF5(page);
    assert.equal(await editText(page), 'Ctrl+F5');
    await screenshot(page, 'key3-ctrl-f5');
    await page.click(`[data-id="${kIdOk}"]`);
    assert.equal((await answerMessage(page)).text, 'Setting successfully !');
    await idle(page);
    const memory = keypad.memory();
    const expected = sixKeysMemory();
    expected.splice(15, 4, 0x01, 0x01, 0x00, 0x3e);
    assert.deepEqual(memory.slice(15, 19), [0x01, 0x01, 0x00, 0x3e]);
    assert.deepEqual(memory, expected);
    assert.deepEqual(fake.reports, writeReports(expected));
    assert.deepEqual(fake.featureRequests, []);
    await finish(opened);
    await context.close();
  },

  async 'failures: a bad block, no answer, unplugged mid-write give the window\'s messages'() {
    const cases = [
      { mode: 'with-report-id', when: 'start', message: null },  // read as it is
      { mode: 'bad-block', when: 'start', message: 'Read Failed !' },
      { mode: 'silent', when: 'start', message: 'Read Failed !' },
      { mode: 'unplug-after', when: 'write', message: 'Setting Failed !' },
    ];
    for (const c of cases) {
      keypad.reset();
      keypad.setMemory(sixKeysMemory());
      const context = await browser.createBrowserContext();
      const opened = await openPage({ context });
      const { page, fake } = opened;
      fake.granted = true;  // granted before: used at once
      if (c.when === 'start') fake.mode = c.mode;
      await load(page);
      if (c.when === 'write') {
        await ready(page);
        assert.deepEqual(await labels(page), kSixKeysShown);
        fake.mode = c.mode;
        fake.unplugAfter = fake.reports.length + 5;
        await page.click(`[data-id="${kIdOk}"]`);
      }
      if (c.message === null) {
        await ready(page);
        assert.deepEqual(await labels(page), kSixKeysShown, c.mode);
        await finish(opened);
        await context.close();
        continue;
      }
      const said = await answerMessage(page, 'OK', `message-${c.mode}`);
      assert.deepEqual(said, { caption: 'quillpad-config', text: c.message }, c.mode);
      await ready(page);
      if (c.mode === 'unplug-after') {
        // The keypad is gone as a vanished one is: Refresh no longer finds it.
        await page.click(`[data-id="${kIdRefresh}"]`);
        assert.equal((await answerMessage(page, 'No')).text,
                     'Couldn\'t find device!\nPlease try again!');
        await idle(page);
        assert.match(await page.$eval('#status', (e) => e.textContent), /unplugged/);
        // Plugged in again (the keypad starts afresh, its memory kept): usable again.
        keypad.reset();
        keypad.setMemory(sixKeysMemory());
        await fake.plug();
        await idle(page);
        assert.match(await page.$eval('#status', (e) => e.textContent), /^Keypad connected/);
        await clickControl(page, kIdRefresh);
        assert.deepEqual(await labels(page), kSixKeysShown);
      }
      await finish(opened);
      await context.close();
    }
  },

  async 'German layout: the key at the US "y" is stored as usage 0x1C and named "z"'() {
    keypad.reset();
    const context = await browser.createBrowserContext();
    const opened = await openPage({ context, layout: kGermanLayout });
    const { page, fake } = opened;
    await load(page);
    await ready(page);
    // A keypad granted before, plugged in while the simulated one is shown: used at once.
    await fake.plug();
    await idle(page);
    assert.match(await page.$eval('#status', (e) => e.textContent), /^Keypad connected/);
    assert.deepEqual(fake.reports, [readHeader]);
    await clickControl(page, kKeyLabels[1]);
    await page.keyboard.press('KeyY');
    await idle(page);
    assert.equal(await editText(page), 'z');
    await page.click(`[data-id="${kIdOk}"]`);
    assert.equal((await answerMessage(page)).text, 'Setting successfully !');
    await idle(page);
    assert.deepEqual(keypad.memory().slice(30, 34), [0x01, 0x00, 0x00, 0x1c]);
    assert.equal((await labels(page))[1], 'z');
    await finish(opened);
    await context.close();
  },

  async 'window: Next and Back, a check box, Reset, help and the on-screen keyboard'() {
    const context = await browser.createBrowserContext();
    const opened = await openPage({ context, hid: false });
    const { page } = opened;
    await load(page);
    await ready(page);
    const group = () => page.$eval('[data-id="1008"] legend', (e) => e.textContent);
    await clickControl(page, 1017);  // Next
    assert.equal(await group(), 'The Key2 Setting');
    await clickControl(page, 1016);  // Back
    await clickControl(page, 1016);
    assert.equal(await group(), 'The Key6 Setting');
    await page.click('[data-id="1013"] input');  // Shift
    await idle(page);
    assert.equal(await editText(page), 'Shift');
    assert.equal((await labels(page))[5], 'Shift');
    // A keypad key with Num Lock off: named by its place, stored as the navigation key it
    // gives, as on the desktop (read back, the keypad's key is Home).
    const cdp = await page.createCDPSession();
    for (const type of ['rawKeyDown', 'keyUp']) {
      await cdp.send('Input.dispatchKeyEvent', { type, code: 'Numpad7', key: 'Home',
                                                 windowsVirtualKeyCode: 36, location: 3 });
    }
    await idle(page);
    assert.equal(await editText(page), 'Shift+Num 7');
    await page.click(`[data-id="${kIdOk}"]`);
    assert.equal((await answerMessage(page)).text, 'Setting successfully !');
    await clickControl(page, kIdRefresh);
    assert.equal((await labels(page))[5], 'Shift+Home');
    await clickControl(page, 1042);  // Reset
    assert.equal(await editText(page), 'Null');
    assert.equal(await page.$eval('[data-id="1013"] input', (e) => e.checked), false);

    await page.click('[data-id="1034"]');  // the help picture
    await page.waitForSelector('#help-overlay:not([hidden])');
    assert.match(await page.$eval('#help', (e) => e.textContent), /Click the key of quillpad/);
    await screenshot(page, 'help');
    await page.click('#help button');
    await idle(page);
    assert.equal(await page.$eval('#help-overlay', (e) => e.hidden), true);

    await page.click('[data-id="1038"]');  // the keyboard picture
    assert.match((await answerMessage(page)).text, /^A web page cannot start an on-screen keyboard/);
    await idle(page);
    await finish(opened);
    await context.close();
  },

  async 'keyboard alone, as a screen reader reads it: Ctrl+F5 to key 3 written with OK'() {
    keypad.reset();
    keypad.setMemory(sixKeysMemory());
    const context = await browser.createBrowserContext();
    const opened = await openPage({ context });
    const { page, fake } = opened;
    fake.granted = true;
    await page.evaluateOnNewDocument(() => {
      window.__pointerEvents = 0;
      for (const type of ['pointerdown', 'mousedown', 'mouseup']) {
        document.addEventListener(type, () => { window.__pointerEvents += 1; }, true);
      }
    });
    await load(page);
    await ready(page);
    const checkedKeys = async () => (await accessibleNodes(page))
      .filter((n) => n.role === 'radio' && n.checked === true).map((n) => n.name);
    const keyLabel = async (key) => (await accessibleNodes(page))
      .find((n) => n.role === 'StaticText' && n.name.startsWith(`Key ${key}:`))?.name;
    const field = async () => (await accessibleNodes(page))
      .find((n) => n.role === 'textbox' && n.name === 'Key function');

    // Every control has its name and role; the key function field says how to leave it.
    const nodes = await accessibleNodes(page);
    const named = [
      ...[1, 2, 3, 4, 5, 6].map((k) => ['radio', `Key ${k}`]),
      ...kSixKeysShown.map((shown, k) => ['StaticText', `Key ${k + 1}: ${shown}`]),
      ['combobox', 'Device'], ['textbox', 'Key function'],
      ...['Alt', 'Ctrl', 'Windows', 'Shift', 'Application', 'MouseLeft', 'MouseMiddle',
          'MouseRight'].map((name) => ['checkbox', name]),
      ...['Back', 'Reset', 'Next', 'On-screen keyboard', 'Help', 'OK', 'Refresh']
        .map((name) => ['button', name]),
    ];
    for (const [role, name] of named) {
      assert.ok(nodes.some((n) => n.role === role && n.name === name), `no ${role} "${name}"`);
    }
    assert.match((await field()).description, /^Key 1\. .*Tab and Shift\+Tab leave the field/);

    // The run, with the keys a keyboard-only user presses: from OK (the focus at the start)
    // Tab through the page to the field, Alt+N twice to key 3, Enter and Tab (recorded as
    // the key), Ctrl+F5, Tab out of the field and on to OK, Enter.
    const steps = [
      // keys, the window's controls Tab passes, focus afterwards, checked key, key 3's label
      { keys: [], focus: 'OK', key: 'Key 1', label: 'Key 3: b' },
      { tabTo: 'Key function', passes: ['Refresh', '(page)', 'Device', 'Key function'],
        focus: 'Key function', key: 'Key 1', label: 'Key 3: b' },
      { keys: ['Alt+KeyN', 'Alt+KeyN'], focus: 'Key function', key: 'Key 3', label: 'Key 3: b',
        said: 'Key 3 selected' },
      { keys: ['Enter'], focus: 'Key function', key: 'Key 3', label: 'Key 3: b',
        description: /^Key 3\. Recording:/ },
      { keys: ['Tab'], focus: 'Key function', key: 'Key 3', label: 'Key 3: Tab' },
      { keys: ['Control+F5'], focus: 'Key function', key: 'Key 3', label: 'Key 3: Ctrl+F5' },
      { keys: ['Tab'], focus: 'Alt', key: 'Key 3', label: 'Key 3: Ctrl+F5' },
      { tabTo: 'OK', passes: ['Ctrl', 'Windows', 'Shift', 'Application', 'MouseLeft',
                              'MouseMiddle', 'MouseRight', 'Back', 'Reset', 'Next',
                              'On-screen keyboard', 'Help', 'OK'],
        focus: 'OK', key: 'Key 3', label: 'Key 3: Ctrl+F5' },
    ];
    for (const step of steps) {
      const what = step.tabTo ? `Tab to ${step.tabTo}` : step.keys.join(' ') || 'start';
      for (const combo of step.keys || []) await pressKeys(page, combo);
      if (step.tabTo) {
        const passed = await tabTo(page, step.tabTo);
        assert.deepEqual(passed.filter((name, i) => name !== passed[i - 1]), step.passes, what);
      }
      assert.equal((await focusedControl(page)).name, step.focus, what);
      assert.deepEqual(await checkedKeys(), [step.key], what);
      assert.equal(await keyLabel(3), step.label, what);
      if (step.said) assert.equal(await page.$eval('#announce', (e) => e.textContent), step.said);
      if (step.description) assert.match((await field()).description, step.description, what);
    }
    fake.reports.length = 0;
    await page.keyboard.press('Enter');
    await page.waitForSelector('#message-overlay:not([hidden])');
    assert.equal(await page.$eval('#message-text', (e) => e.textContent), 'Setting successfully !');
    await page.keyboard.press('Enter');
    await idle(page);
    assert.equal((await focusedControl(page)).name, 'OK');
    const expected = sixKeysMemory();
    expected.splice(15, 4, 0x01, 0x01, 0x00, 0x3e);
    assert.deepEqual(keypad.memory(), expected);
    assert.deepEqual(fake.reports, writeReports(expected));
    assert.equal(await page.evaluate(() => window.__pointerEvents), 0, 'a pointer was used');
    await screenshot(page, 'keyboard-alone');
    await finish(opened);
    await context.close();
  },

  async 'without WebHID: the sentence on browsers, and the simulated keypad'() {
    const context = await browser.createBrowserContext();
    const opened = await openPage({ context, hid: false, noWebHid: true });
    const { page } = opened;
    await load(page);
    await ready(page);
    const status = await page.$eval('#status', (e) => e.textContent);
    assert.match(status, /^This browser cannot talk to the keypad: Chrome, Edge and Opera can/);
    assert.equal(await page.$eval('#connect', (e) => e.disabled), true);
    assert.deepEqual(await labels(page), new Array(6).fill('Null'));
    await screenshot(page, 'no-webhid');
    await finish(opened);
    await context.close();
  },

  async 'simulated keypad: a profile saved then loaded round-trips; memory stays across a reload'() {
    const downloads = join(profileDir, 'downloads');
    await mkdir(downloads, { recursive: true });
    const opened = await openPage({ hid: false });
    const { page } = opened;
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await load(page);
    await ready(page);
    // Key 1 = Ctrl+F5, written.
    await clickControl(page, kKeyLabels[0]);
    await pressCtrlF5(page);
    await page.click(`[data-id="${kIdOk}"]`);
    assert.equal((await answerMessage(page)).text, 'Setting successfully !');
    await idle(page);

    const download = async (button, name) => {
      await page.click(button);
      await idle(page);
      for (let i = 0; i < 50 && !(await readdir(downloads)).includes(name); ++i) {
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
      return readFile(join(downloads, name));
    };
    const profile = (await download('#save-profile', 'quillpad-profile.txt')).toString('utf8');
    assert.match(profile, /^key1 = Ctrl\+F5$/m);
    assert.match(profile, /^# keys named by their positions on a US keyboard/m);

    // Key 1 cleared and written, then the profile loaded: Ctrl+F5 again.
    await clickControl(page, kKeyLabels[0]);
    await clickControl(page, 1042);  // Reset
    await page.click(`[data-id="${kIdOk}"]`);
    assert.equal((await answerMessage(page)).text, 'Setting successfully !');
    await idle(page);
    assert.equal((await labels(page))[0], 'Null');
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#load-profile')]);
    await chooser.accept([join(downloads, 'quillpad-profile.txt')]);
    await page.waitForFunction((id) => QuillpadPage.text(id) === 'Ctrl+F5', {}, kKeyLabels[0]);
    await idle(page);

    // The raw block as the keypad holds it; a file of another size is not written.
    const block = await download('#dump-block', 'quillpad-block.bin');
    assert.equal(block.length, 256);
    assert.deepEqual([...block.subarray(45, 49)], [0x01, 0x01, 0x00, 0x3e]);
    assert.equal(block[90], 0xfc);
    const short = join(profileDir, 'short.bin');
    await writeFile(short, block.subarray(0, 10));
    const [blockChooser] = await Promise.all([page.waitForFileChooser(),
                                              page.click('#restore-block')]);
    await blockChooser.accept([short]);
    assert.equal((await answerMessage(page)).text,
                 'short.bin: holds 10 bytes; a configuration block is exactly 256');
    await idle(page);

    // A file that is no profile, or one whose keys another layout names, changes nothing and
    // says why.
    for (const [content, message] of [
      ['key9 = a\n', /^bad-profile\.txt: line 1: /],
      ['# keys named as the de keyboard layout types them: load with --layout de\nkey1 = z\n',
       /^bad-profile\.txt: its keys are named as the keyboard layout 'de' types them/],
    ]) {
      const bad = join(profileDir, 'bad-profile.txt');
      await writeFile(bad, content);
      const [badChooser] = await Promise.all([page.waitForFileChooser(),
                                              page.click('#load-profile')]);
      await badChooser.accept([bad]);
      assert.match((await answerMessage(page)).text, message);
      await idle(page);
    }

    await page.reload();
    await page.waitForFunction(() => !!window.QuillpadPage && !!QuillpadPage.ready);
    await ready(page);
    assert.deepEqual(await labels(page), ['Ctrl+F5', 'Null', 'Null', 'Null', 'Null', 'Null']);
    await finish(opened);
  },
};

let failed = 0;
try {
  for (const [name, run] of Object.entries(scenarios)) {
    const started = Date.now();
    try {
      await run();
      console.log(`ok   ${name} (${Date.now() - started} ms)`);
    } catch (error) {
      failed += 1;
      console.log(`FAIL ${name}\n${error.stack}`);
    }
  }
} finally {
  await browser.close();
  await site.close();
  await rm(profileDir, { recursive: true, force: true });
}
if (options.screenshots) console.log(`screenshots in ${options.screenshots}`);
process.exit(failed === 0 ? 0 : 1);
