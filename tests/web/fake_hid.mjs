// A stand-in for navigator.hid in the page under test: one keypad whose reports are answered in
// node by the keypad's side of the protocol (fake_keypad.cpp compiled to WebAssembly). Every
// report the page sends is recorded; a test can make the keypad answer with a bad block,
// never answer, or go away in the middle of a write.
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';

export const kVendorId = 0x1130;
export const kProductId = 0x660c;

export async function loadFakeKeypad(path) {
  const require = createRequire(import.meta.url);
  // Handed the program's bytes: this emscripten would fetch() a file path under node.
  const wasmBinary = await readFile(path.replace(/\.js$/, '.wasm'));
  const module = await require(path)({ wasmBinary });
  return {
    module,
    reset() {
      module._fk_reset();
    },
    memory() {
      return Array.from(module.HEAPU8.subarray(module._fk_memory(), module._fk_memory() + 256));
    },
    setMemory(bytes) {
      module.HEAPU8.set(bytes, module._fk_memory());
    },
    output(bytes) {
      const at = module._malloc(bytes.length);
      module.HEAPU8.set(bytes, at);
      const event = module._fk_output(at, bytes.length);
      module._free(at);
      return event;
    },
    feature(reportId) {
      const length = module._fk_feature(reportId);
      if (length < 0) return null;
      const at = module._fk_feature_data();
      return Array.from(module.HEAPU8.subarray(at, at + length));
    },
  };
}

// Installs the stand-in in page (before its scripts run). keypad: loadFakeKeypad()'s object.
// Returns the control of the device: granted, mode ('normal', 'with-report-id', 'bad-block',
// 'silent', 'unplug-after' with unplugAfter reports), the recorded reports and requests.
export async function installFakeHid(page, keypad) {
  const hid = {
    granted: false,
    mode: 'normal',
    unplugAfter: 0,
    reports: [],          // [reportId, ...data] of every output report
    featureRequests: [],  // report IDs
    requestFilters: [],
    // Plugs the keypad in (again), as the browser tells the page.
    async plug() {
      hid.granted = true;
      hid.mode = 'normal';
      await page.evaluate(() => window.__fakeHidFire('connect'));
    },
  };
  await page.exposeFunction('__fakeHidGranted', () => hid.granted);
  await page.exposeFunction('__fakeHidRequest', (filters) => {
    hid.requestFilters.push(filters);
    hid.granted = true;
    return true;
  });
  await page.exposeFunction('__fakeHidSend', (reportId, data) => {
    hid.reports.push([reportId, ...data]);
    if (hid.mode === 'silent') return 'hang';
    if (hid.mode === 'unplug-after' && hid.reports.length > hid.unplugAfter) {
      hid.granted = false;
      return 'unplug';
    }
    keypad.output([reportId, ...data]);
    return 'ok';
  });
  await page.exposeFunction('__fakeHidFeature', (reportId) => {
    hid.featureRequests.push(reportId);
    if (hid.mode === 'silent') return 'hang';
    const answer = keypad.feature(reportId);
    if (answer === null) return 'refuse';
    // WebHID hands over the data without the report ID byte (older versions on Windows kept
    // it: mode 'with-report-id'); a bad block is cut short.
    if (hid.mode === 'with-report-id') return answer;
    const data = answer.slice(1);
    return hid.mode === 'bad-block' ? data.slice(0, 100) : data;
  });
  await page.evaluateOnNewDocument((vendorId, productId) => {
    const listeners = new Map();
    const never = () => new Promise(() => {});
    const device = {
      vendorId,
      productId,
      productName: 'Quillpad',
      opened: false,
      collections: [{
        usagePage: 1,
        usage: 3,
        type: 1,
        children: [],
        inputReports: [],
        outputReports: [{ reportId: 0, items: [{ reportSize: 8, reportCount: 8 }] }],
        featureReports: [{ reportId: 0, items: [{ reportSize: 8, reportCount: 256 }] }],
      }],
      async open() { this.opened = true; },
      async close() { this.opened = false; },
      async sendReport(reportId, data) {
        const bytes = Array.from(new Uint8Array(data.buffer || data, data.byteOffset || 0,
                                                data.byteLength));
        const answer = await window.__fakeHidSend(reportId, bytes);
        if (answer === 'hang') return never();
        if (answer === 'unplug') {
          this.opened = false;
          for (const listener of listeners.get('disconnect') || []) listener({ device });
          throw new DOMException('Failed to write the report.', 'NotAllowedError');
        }
      },
      async receiveFeatureReport(reportId) {
        const answer = await window.__fakeHidFeature(reportId);
        if (answer === 'hang') return never();
        if (answer === 'refuse') throw new DOMException('Failed to receive.', 'NotAllowedError');
        return new DataView(new Uint8Array(answer).buffer);
      },
    };
    const hid = {
      async getDevices() { return (await window.__fakeHidGranted()) ? [device] : []; },
      async requestDevice(options) {
        await window.__fakeHidRequest(JSON.parse(JSON.stringify(options.filters)));
        return [device];
      },
      addEventListener(type, listener) {
        if (!listeners.has(type)) listeners.set(type, []);
        listeners.get(type).push(listener);
      },
      removeEventListener() {},
    };
    window.__fakeHidFire = (type) => {
      for (const listener of listeners.get(type) || []) listener({ device });
    };
    Object.defineProperty(Navigator.prototype, 'hid', { get: () => hid, configurable: true });
  }, kVendorId, kProductId);
  return hid;
}
