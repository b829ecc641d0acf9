// The browser's half of the WebHID backend (webhid_platform.cpp): holds the HIDDevice objects
// under the numbers the C++ side knows them by, and runs WebHID's calls for it. Every rule of
// the walk, the checks and the transfers is on the C++ side.
var QuillpadHid = {
  devices: new Map(),  // number -> HIDDevice
  numbers: new Map(),  // HIDDevice -> number
  gone: new Set(),     // numbers of devices unplugged
  next: 1,
  listening: false,

  available() {
    return typeof navigator !== 'undefined' && !!navigator.hid;
  },
  listen() {
    if (this.listening || !this.available()) return;
    this.listening = true;
    navigator.hid.addEventListener('disconnect', (event) => {
      const number = this.numbers.get(event.device);
      if (number === undefined) return;
      this.gone.add(number);
      // The page's script hands this on to the program, as the next event.
      if (Module['onKeypadUnplugged']) Module['onKeypadUnplugged']();
    });
    navigator.hid.addEventListener('connect', (event) => {
      // A device object the browser hands over again is usable again.
      const number = this.numbers.get(event.device);
      if (number !== undefined) this.gone.delete(number);
      if (Module['onKeypadPlugged']) Module['onKeypadPlugged']();
    });
  },
  number(device) {
    let number = this.numbers.get(device);
    if (number === undefined) {
      number = this.next++;
      this.numbers.set(device, number);
      this.devices.set(number, device);
    }
    return number;
  },
  async granted() {
    this.listen();
    try {
      return (await navigator.hid.getDevices()).filter((d) => !this.gone.has(this.number(d)));
    } catch (e) {
      return [];
    }
  },
  device(number) {
    return this.gone.has(number) ? null : (this.devices.get(number) || null);
  },
  // Resolves to what the promise gives, or to fallback after ms or when it fails.
  async settle(promise, ms, fallback) {
    let timer;
    const late = new Promise((resolve) => { timer = setTimeout(() => resolve(fallback), ms); });
    try {
      return await Promise.race([promise.catch(() => fallback), late]);
    } finally {
      clearTimeout(timer);
    }
  },
  // The collection's length in bits of its largest report of each kind (its own reports
  // and those of the collections in it, by report ID).
  reportBits(collection) {
    const kinds = ['inputReports', 'outputReports', 'featureReports'];
    return kinds.map((kind) => {
      const byId = new Map();
      const walk = (c) => {
        for (const report of c[kind] || []) {
          let bits = byId.get(report.reportId) || 0;
          for (const item of report.items || []) bits += item.reportSize * item.reportCount;
          byId.set(report.reportId, bits);
        }
        for (const child of c.children || []) walk(child);
      };
      walk(collection);
      return Math.max(0, ...byId.values());
    });
  },
};
