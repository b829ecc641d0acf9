// The page's script. It carries the user's events to the program (quillpad.wasm, through the
// entry points of app/web/web_main.cpp), one at a time, and does what the program's view
// (ui/web/web_keypad_view.cpp) asks of the page's elements. It decides nothing about keys,
// keypads or the window's behaviour: all of that is the program's.
'use strict';

(() => {
  let program = null;   // the WebAssembly module
  const parts = { window: new Map(), help: new Map() };  // control id -> {element, kind, ...}
  const timers = new Map();
  const $ = (id) => document.getElementById(id);

  // --- events, one at a time ---------------------------------------------------------------
  // An entry point may suspend (a wait, a message box, a transfer); the next event waits for
  // it. Pointer moves and timer ticks that come while one runs are dropped, not queued.
  const queue = [];
  let running = false;
  let idleWaiters = [];

  function post(event, droppable = false) {
    if (droppable && (running || queue.length > 0)) return;
    queue.push(event);
    if (!running) pump();
  }
  async function pump() {
    running = true;
    while (queue.length > 0) {
      const event = queue.shift();
      try {
        await event();
      } catch (error) {
        console.error(error);
      }
    }
    running = false;
    const waiters = idleWaiters;
    idleWaiters = [];
    waiters.forEach((resolve) => resolve());
  }
  function call(name, types = [], args = [], returns = null) {
    return Promise.resolve(program.ccall(name, returns, types, args, { async: true }));
  }
  async function callWithBytes(name, fileName, bytes) {
    const at = program._malloc(Math.max(1, bytes.length));
    program.HEAPU8.set(bytes, at);
    try {
      await call(name, ['string', 'number', 'number'], [fileName, at, bytes.length]);
    } finally {
      program._free(at);
    }
  }

  // --- the elements the view asks for ------------------------------------------------------
  function control(id) {
    return parts.window.get(id) || null;
  }
  // The letter after "&" in a caption ("&Back": "B"), or "".
  function mnemonicOf(text) {
    const at = text.search(/&[^&]/);
    return at < 0 ? '' : text[at + 1].toUpperCase();
  }
  // A text with its mnemonic ("&Back") as nodes: the letter after "&" underlined.
  function mnemonicNodes(text) {
    const nodes = [];
    let plain = '';
    for (let i = 0; i < text.length; ++i) {
      if (text[i] === '&' && i + 1 < text.length && text[i + 1] !== '&') {
        nodes.push(document.createTextNode(plain));
        const u = document.createElement('u');
        u.textContent = text[++i];
        nodes.push(u);
        plain = '';
      } else {
        plain += text[i];
        if (text[i] === '&') ++i;
      }
    }
    nodes.push(document.createTextNode(plain));
    return nodes;
  }
  // role: what a picture acts as for a screen reader ('radio' for a key, 'button'), or ''.
  function makeControl(kind, text, picture, role) {
    switch (kind) {
      case 'picture': {
        const img = document.createElement('img');
        img.src = `img/${picture}.png`;
        img.alt = '';
        img.draggable = false;
        if (!role) return { element: img };
        img.setAttribute('role', role);
        if (role === 'radio') img.setAttribute('aria-checked', 'false');
        return { element: img, focusable: role === 'button' ? img : null };
      }
      case 'text':
      case 'wrapped-text': {
        const div = document.createElement('div');
        div.className = kind;
        const shown = document.createElement('span');
        shown.textContent = text;
        div.append(shown);
        return { element: div, textNode: shown };
      }
      case 'list': {
        const select = document.createElement('select');
        return { element: select, focusable: select };
      }
      case 'group': {
        const fieldset = document.createElement('fieldset');
        const legend = document.createElement('legend');
        legend.replaceChildren(...mnemonicNodes(text));
        fieldset.append(legend);
        return { element: fieldset, textNode: legend };
      }
      case 'edit': {
        const input = document.createElement('input');
        input.type = 'text';
        input.className = 'edit';
        input.readOnly = true;
        input.spellcheck = false;
        input.autocomplete = 'off';
        return { element: input, focusable: input };
      }
      case 'check': {
        const label = document.createElement('label');
        label.className = 'check';
        const box = document.createElement('input');
        box.type = 'checkbox';
        const span = document.createElement('span');
        span.replaceChildren(...mnemonicNodes(text));
        label.append(box, span);
        return { element: label, textNode: span, focusable: box, box };
      }
      default: {
        const button = document.createElement('button');
        button.type = 'button';
        button.replaceChildren(...mnemonicNodes(text));
        if (kind === 'default-button') button.className = 'default';
        if (mnemonicOf(text)) button.setAttribute('aria-keyshortcuts', `Alt+${mnemonicOf(text)}`);
        return { element: button, textNode: button, focusable: button };
      }
    }
  }
  // A picture that acts as a control, activated by a screen reader (a click no pointer
  // made): the window gets the click at its centre, as from the pointer.
  function clickFromAssistiveTechnology(el) {
    el.addEventListener('click', (event) => {
      if (event.detail !== 0) return;
      const r = el.getBoundingClientRect();
      const [x, y] = clientPoint({ clientX: r.left + r.width / 2, clientY: r.top + r.height / 2 });
      post(() => call('qp_click', ['number', 'number'], [x, y]));
    });
  }

  let helpDone = null;

  const page = {
    setWindow(part, title, width, height) {
      const client = $(part);
      client.style.width = `${width}px`;
      client.style.height = `${height}px`;
      $(`${part}-title`).textContent = title;
      if (part === 'window') document.title = title;
    },
    // tabStop: Tab stops there (in the order controls are added); name: what a screen reader
    // calls it, '' for its text.
    addControl(part, id, kind, text, picture, x, y, w, h, visible, tabStop, role, name) {
      const made = makeControl(kind, text, picture, role);
      const el = made.element;
      el.dataset.id = String(id);
      el.style.left = `${x}px`;
      el.style.top = `${y}px`;
      el.style.width = `${w}px`;
      if (kind !== 'list') el.style.height = `${h}px`;
      if (made.focusable) made.focusable.tabIndex = tabStop ? 0 : -1;
      $(part).append(el);
      parts[part].set(id, { kind, role, ...made });
      if (!visible) page.show(id, false, part);
      if (name) page.setName(id, name, part);
      if (role) clickFromAssistiveTechnology(el);
      if (part === 'help') {
        if (made.focusable) made.focusable.addEventListener('click', () => helpDone && helpDone());
        return;
      }
      if (kind === 'button' || kind === 'default-button') {
        el.addEventListener('click', () => post(() => call('qp_command', ['number'], [id])));
      } else if (kind === 'check') {
        made.box.addEventListener('click', () => post(() => call('qp_command', ['number'], [id])));
      }
    },
    setText(id, text) {
      const c = control(id);
      if (!c) return;
      if (c.kind === 'edit') c.element.value = text;
      else if (c.textNode) c.textNode.textContent = text;
    },
    text(id) {
      const c = control(id);
      if (!c) return '';
      if (c.kind === 'edit') return c.element.value;
      if (c.kind === 'list') {
        const option = c.element.selectedOptions[0];
        return option ? option.textContent : '';
      }
      return c.textNode ? c.textNode.textContent : '';
    },
    setCheck(id, checked) {
      const c = control(id);
      if (c && c.box) c.box.checked = checked;
    },
    check(id) {
      const c = control(id);
      return !!(c && c.box && c.box.checked);
    },
    show(id, visible, part = 'window') {
      const c = parts[part].get(id);
      if (!c) return;
      // A key's picture is drawn only while the key is selected, but every key is on the
      // keypad: screen readers keep all six.
      c.element.classList.toggle(c.role === 'radio' ? 'unlit' : 'hidden', !visible);
    },
    // What a screen reader calls the control: a text says the name instead of what it shows
    // ("Key 1: Ctrl+F5" for "Ctrl+F5"); other controls get it as their ARIA label.
    setName(id, name, part = 'window') {
      const c = parts[part].get(id);
      if (!c) return;
      if (c.kind === 'text' || c.kind === 'wrapped-text') {
        if (!c.nameNode) {
          c.nameNode = document.createElement('span');
          c.nameNode.className = 'visually-hidden';
          c.element.prepend(c.nameNode);
          c.textNode.setAttribute('aria-hidden', 'true');
        }
        c.nameNode.textContent = name;
      } else {
        (c.focusable || c.element).setAttribute('aria-label', name);
      }
    },
    setDescription(id, text) {
      const c = control(id);
      if (!c) return;
      const describedId = `description-${id}`;
      let described = $(describedId);
      if (!described) {
        described = document.createElement('div');
        described.id = describedId;
        $('descriptions').append(described);
        (c.focusable || c.element).setAttribute('aria-describedby', describedId);
      }
      described.textContent = text;
    },
    setSelected(id, selected) {
      const c = control(id);
      if (c && c.role === 'radio') c.element.setAttribute('aria-checked', String(selected));
    },
    // Said by screen readers when they are free (the page's polite live region).
    announce(text) {
      $('announce').textContent = text;
    },
    focus(id) {
      const c = control(id);
      if (c && c.focusable) c.focusable.focus({ preventScroll: true });
    },
    focused(noFocus, elsewhere) {
      const active = document.activeElement;
      if (!active || active === document.body || !document.hasFocus()) return noFocus;
      for (const [id, c] of parts.window) {
        if (c.focusable === active) return id;
      }
      return elsewhere;
    },
    setList(id, entries, selected) {
      const c = control(id);
      if (!c) return;
      c.element.replaceChildren(...entries.split('\n').filter((e) => e !== '').map((e) => {
        const option = document.createElement('option');
        option.textContent = e;
        return option;
      }));
      c.element.selectedIndex = selected;
    },
    setBackground(id, colour) {
      const el = id === 0 ? $('window') : (control(id) || {}).element;
      if (el) el.style.backgroundColor = colour;
    },
    // shape: 'picture' (with the pointer's picture), 'help' or '' for the default.
    setPointer(shape, picture) {
      const cursors = { picture: `url(img/${picture}.png) 1 1, pointer`, help: 'help', '': '' };
      $('window').style.cursor = cursors[shape] ?? '';
    },
    setBusy(busy) {
      document.body.classList.toggle('busy', busy);
    },
    startTimer(id, ms) {
      page.stopTimer(id);
      timers.set(id, setInterval(() => post(() => call('qp_timer', ['number'], [id]), true), ms));
    },
    stopTimer(id) {
      clearInterval(timers.get(id));
      timers.delete(id);
    },
    // Resolves to the answer of the button clicked (buttons: "label:answer|...").
    messageBox(text, caption, icon, buttons) {
      return new Promise((resolve) => {
        const glyphs = { stop: '\u2715', question: '?', exclamation: '!', information: 'i' };
        const before = document.activeElement;  // gets the focus back, as on the desktop
        $('message-caption').textContent = caption;
        $('message-text').textContent = text;
        $('message-icon').className = `icon ${icon}`;
        $('message-icon').textContent = glyphs[icon] || '';
        const row = $('message-buttons');
        const made = buttons.split('|').map((b) => {
          const [label, answer] = b.split(':');
          const button = document.createElement('button');
          button.type = 'button';
          button.textContent = label;
          button.dataset.answer = answer;
          button.addEventListener('click', () => {
            $('message-overlay').hidden = true;
            modalKeys = null;
            if (before) before.focus({ preventScroll: true });
            resolve(Number(answer));
          });
          return button;
        });
        row.replaceChildren(...made);
        $('message-overlay').hidden = false;
        made[0].focus();
        modalKeys = (event) => {
          const cancel = made.find((b) => b.dataset.answer === '2') ||
                         (made.length === 1 ? made[0] : null);
          if (event.key === 'Tab') {
            tabWithin(event, made);
          } else if (event.key === 'Escape' && cancel) {
            event.preventDefault();
            cancel.click();
          } else if (event.key === 'Enter' && made.includes(document.activeElement)) {
            event.preventDefault();
            document.activeElement.click();
          }
        };
      });
    },
    runHelp() {
      return new Promise((resolve) => {
        const before = document.activeElement;
        $('help-overlay').hidden = false;
        const ok = [...parts.help.values()].find((c) => c.focusable);
        if (ok) ok.focusable.focus();
        helpDone = () => {
          $('help-overlay').hidden = true;
          helpDone = null;
          modalKeys = null;
          if (before) before.focus({ preventScroll: true });
          resolve();
        };
        modalKeys = (event) => {
          if (event.key === 'Tab') {
            tabWithin(event, [...parts.help.values()].map((c) => c.focusable).filter((f) => f));
          } else if (event.key === 'Escape' || event.key === 'Enter') {
            event.preventDefault();
            helpDone();
          }
        };
      });
    },
    setStatus(text, canConnect, usingSimulated) {
      $('status').textContent = text;
      $('connect').disabled = !canConnect;
      $('simulate').disabled = usingSimulated;
    },
    download(name, bytes, type) {
      const url = URL.createObjectURL(new Blob([bytes], { type }));
      const a = document.createElement('a');
      a.href = url;
      a.download = name;
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(url), 10000);
    },
    loadStored(key) {
      try {
        return localStorage.getItem(key) || '';
      } catch (e) {
        return '';
      }
    },
    store(key, value) {
      try {
        localStorage.setItem(key, value);
      } catch (e) {
        console.warn('the simulated keypad cannot be kept in this browser:', e);
      }
    },
    // For tests: resolves once every event posted so far has been handled.
    idle() {
      return new Promise((resolve) => {
        if (!running && queue.length === 0) resolve();
        else idleWaiters.push(resolve);
      });
    },
    ready: null,
  };
  window.QuillpadPage = page;

  // --- the user's events -------------------------------------------------------------------
  let modalKeys = null;  // the key handler of an open message box or help window

  // Tab in a message box or the help window stays in it, as in a modal dialog.
  function tabWithin(event, focusables) {
    event.preventDefault();
    if (focusables.length === 0) return;
    const at = focusables.indexOf(document.activeElement);
    const step = event.shiftKey ? -1 : 1;
    focusables[(at + step + focusables.length) % focusables.length].focus();
  }

  // Elements Tab reaches, in the page's order.
  function tabStops(root) {
    return [...root.querySelectorAll('button, input, select, [tabindex]')].filter(
      (e) => e.tabIndex >= 0 && !e.disabled && e.getClientRects().length > 0);
  }
  // Tab and Shift+Tab the window left to the page: the next or previous tab stop of the
  // window in the layout's order, and past its first or last one the page around it, so the
  // keyboard gets out of the window as out of any part of a page.
  function moveFocus(backwards) {
    const client = $('window');
    const stops = tabStops(document);
    const inWindow = stops.filter((e) => client.contains(e));
    const at = inWindow.indexOf(document.activeElement);
    const next = at + (backwards ? -1 : 1);
    if (at >= 0 && next >= 0 && next < inWindow.length) {
      inWindow[next].focus();
      return;
    }
    const outside = stops.filter((e) => !client.contains(e));
    if (outside.length === 0) return;
    const after = outside.filter(
      (e) => client.compareDocumentPosition(e) & Node.DOCUMENT_POSITION_FOLLOWING);
    const before = outside.filter((e) => !after.includes(e));
    // With nothing after (or before) the window, Tab goes round to the page's start (or end).
    if (backwards) (before.length > 0 ? before : outside).at(-1).focus();
    else (after.length > 0 ? after : outside)[0].focus();
  }

  // What a dialog does with a key the window did not take: Tab moves on, Space presses the
  // button or check box with the focus, Enter the button with the focus or else the default
  // one, the arrow keys go through the list.
  function dialogKey({ key, shiftKey }) {
    const active = document.activeElement;
    const c = [...parts.window.values()].find((k) => k.focusable && k.focusable === active);
    if (!c) return;
    const isButton = c.kind === 'button' || c.kind === 'default-button';
    if (key === 'Tab') {
      moveFocus(shiftKey);
    } else if (key === ' ' && (isButton || c.kind === 'check')) {
      active.click();
    } else if (key === 'Enter') {
      const pressed = isButton ? c : [...parts.window.values()].find(
        (k) => k.kind === 'default-button' && !k.element.classList.contains('hidden'));
      if (pressed) pressed.focusable.click();
    } else if (c.kind === 'list' && (key === 'ArrowDown' || key === 'ArrowUp')) {
      const index = active.selectedIndex + (key === 'ArrowDown' ? 1 : -1);
      if (index >= 0 && index < active.options.length) active.selectedIndex = index;
    }
  }

  function isControl(target) {
    return target.closest('button, input, select, label') !== null;
  }
  function clientPoint(event) {
    const r = $('window').getBoundingClientRect();
    return [Math.round(event.clientX - r.left), Math.round(event.clientY - r.top)];
  }

  function wireWindow() {
    const client = $('window');
    // Clicks on pictures, texts and the window itself reach the window, as on the desktop;
    // they do not take the focus from the control that has it.
    // Every press says first which control it is on, so that a click on the key function
    // field starts a recording there.
    client.addEventListener('mousedown', (event) => {
      const on = event.target.closest('[data-id]');
      const id = on && client.contains(on) ? Number(on.dataset.id) : 0;
      post(() => call('qp_pointer_down', ['number'], [id]));
      if (!isControl(event.target)) event.preventDefault();
    }, true);
    client.addEventListener('mouseup', (event) => {
      if (event.button !== 0 || isControl(event.target)) return;
      const [x, y] = clientPoint(event);
      post(() => call('qp_click', ['number', 'number'], [x, y]));
    });
    client.addEventListener('mousemove', (event) => {
      if (isControl(event.target)) return;
      const [x, y] = clientPoint(event);
      post(() => call('qp_mouse_move', ['number', 'number'], [x, y]), true);
    });
    // Every key pressed in the window goes to the program first (by its physical position);
    // none reaches a control or the browser's own shortcuts where the browser lets a page keep
    // it. A key the program leaves gets what a dialog does with it (dialogKey).
    const swallow = (event) => {
      if (modalKeys) {
        if (event.type === 'keydown') modalKeys(event);
        return;
      }
      if (!client.contains(document.activeElement)) return;
      event.preventDefault();
      event.stopPropagation();
      if (event.type === 'keydown') {
        const { code, key, shiftKey, altKey } = event;
        post(async () => {
          const taken = await call('qp_key_down', ['string', 'string', 'number'],
                                   [code, key, altKey ? 1 : 0], 'number');
          if (!taken) dialogKey({ key, shiftKey });
        });
      }
    };
    for (const type of ['keydown', 'keyup', 'keypress']) {
      document.addEventListener(type, swallow, true);
    }
    for (const type of ['paste', 'drop', 'contextmenu']) {
      client.addEventListener(type, (event) => event.preventDefault());
    }
  }

  async function readFile(input) {
    const file = input.files && input.files[0];
    input.value = '';
    if (!file) return null;
    return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
  }

  function wireToolbar() {
    $('connect').addEventListener('click', () => post(() => call('qp_connect')));
    $('simulate').addEventListener('click', () => post(() => call('qp_use_simulated')));
    $('save-profile').addEventListener('click', () => post(() => call('qp_save_profile')));
    $('dump-block').addEventListener('click', () => post(() => call('qp_dump_block')));
    $('load-profile').addEventListener('click', () => $('profile-file').click());
    $('restore-block').addEventListener('click', () => $('block-file').click());
    $('profile-file').addEventListener('change', async (event) => {
      const file = await readFile(event.target);
      if (file) post(() => callWithBytes('qp_load_profile', file.name, file.bytes));
    });
    $('block-file').addEventListener('change', async (event) => {
      const file = await readFile(event.target);
      if (file) post(() => callWithBytes('qp_restore_block', file.name, file.bytes));
    });
    for (const id of ['save-profile', 'load-profile', 'dump-block', 'restore-block']) {
      $(id).disabled = false;
    }
  }

  async function layoutMap() {
    try {
      if (navigator.keyboard && navigator.keyboard.getLayoutMap) {
        return [...(await navigator.keyboard.getLayoutMap()).entries()];
      }
    } catch (e) {
      // no layout to be had (a frame, a browser that refuses): keys get their US names
    }
    return [];
  }

  async function start() {
    program = await createQuillpad({
      onKeypadUnplugged: () => post(() => call('qp_unplugged')),
      onKeypadPlugged: () => post(() => call('qp_plugged')),
    });
    program._qp_create();
    for (const [code, text] of await layoutMap()) {
      program.ccall('qp_layout_key', null, ['string', 'string'], [code, text]);
    }
    wireWindow();
    wireToolbar();
    post(() => call('qp_start'));
    await page.idle();
  }

  page.ready = start();
})();
