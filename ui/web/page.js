// The page's side of the web front end. It is appended to the module's
// glue (--post-js) after page_tables_data.js, page_keys.js and
// page_dialogs.js, and shares its scope: FS, UTF8ToString, allocateUTF8.
//
// It builds both windows from the control tables (pageTables, written at
// build time by page_tables_main.cpp from the module's own code),
// reports every event of a control to the module by the control's index in
// its table, and does what the module asks of the page through `page`
// (ui/web/page_bridge.cpp). It decides nothing: which key is refused, what
// a click does, when a window opens or a box shows, all comes from the
// module. The toolkit's own work stays here: tab order, moving through a
// list with the arrow keys, where a typed character goes.

var page = (function () {
  'use strict';

  // Faces that stand in where the table's face is missing, as on Linux.
  const FALLBACK_FACES = ['Microsoft Sans Serif', 'Arial', 'Liberation Sans', 'Nimbus Sans', 'Helvetica'];
  const TWIPS_PER_PIXEL = 15;
  // Tab visits the main window's controls first, then the curve window's.
  const FORM_TAB_BASE = 1;
  const CURVE_TAB_BASE = 101;
  const TIP_SHOWN_MS = 4000;

  const PASTES = new Set(['insertFromPaste', 'insertFromPasteAsQuotation', 'insertFromDrop', 'insertFromYank', 'insertReplacementText']);
  const CUTS = new Set(['deleteByCut', 'deleteByDrag']);
  const BACKSPACES = new Set(['deleteContentBackward', 'deleteWordBackward']);
  const DELETES = new Set(['deleteContentForward', 'deleteWordForward', 'deleteSoftLineForward', 'deleteHardLineForward', 'deleteContent']);

  const root = document.documentElement;
  const byId = (id) => document.getElementById(id);

  const make = pageDialogs.make;

  function px(twips) {
    return twips / TWIPS_PER_PIXEL + 'px';
  }

  // ---- Calls into the module -------------------------------------------
  //
  // One event at a time: while the module handles one, and above all while
  // it waits for the answer to a dialog, no other event reaches it. A call
  // gives {value} when the handler returned at once, {waiting} when it
  // waits for a dialog (the page learns the end through eventDone), and
  // {refused} when another event is still being handled or the program has
  // ended.

  // `loading` until the module runs: the windows are built before it does.
  const gate = { busy: false, ended: false, loading: true, strings: [] };
  let eventCount = 0;

  function blocked() {
    return gate.busy || gate.ended || gate.loading;
  }

  function call(name, ...args) {
    if (blocked()) return { refused: true };
    gate.busy = true;
    eventCount += 1;
    const converted = args.map((arg) => {
      if (typeof arg !== 'string') return arg;
      const pointer = allocateUTF8(arg);
      gate.strings.push(pointer);
      return pointer;
    });
    let value;
    try {
      value = Module['_' + name].apply(null, converted);
    } catch (error) {
      // The module has stopped (a fault in it): no event may reach it again.
      gate.ended = true;
      failed(error && error.message ? error.message : String(error));
      throw error;
    }
    return gate.busy ? { waiting: true } : { value: value };
  }

  // Only a call that returned at once has a value; a refused or waiting one
  // took the key.
  function answered(result) {
    return Object.prototype.hasOwnProperty.call(result, 'value');
  }

  function eventDone() {
    gate.busy = false;
    for (const pointer of gate.strings) _free(pointer);
    gate.strings = [];
  }

  // ---- Building the windows from the tables ------------------------------

  function faceList(face) {
    return [face].concat(FALLBACK_FACES).map((name) => '"' + name + '"').join(', ') + ', sans-serif';
  }

  function makeControl(control) {
    switch (control.kind) {
      case 'Frame': {
        const frame = make('fieldset', 'frame', control.element);
        const legend = make('legend');
        legend.textContent = control.caption;
        frame.append(make('div', 'frameborder'), legend);
        return { box: frame, element: frame };
      }
      case 'CommandButton': {
        const button = make('button', 'command', control.element);
        button.type = 'button';
        button.textContent = control.caption;
        return { box: button, element: button };
      }
      case 'TextBox': {
        const field = make('input', 'field', control.element);
        field.type = 'text';
        field.value = control.caption;
        field.spellcheck = false;
        field.autocomplete = 'off';
        field.setAttribute('autocapitalize', 'off');
        return { box: field, element: field };
      }
      case 'ListBox': {
        const list = make('div', 'listbox', control.element);
        list.setAttribute('role', 'listbox');
        return { box: list, element: list };
      }
      case 'OptionButton': {
        const box = make('div', 'option');
        const option = make('input', null, control.element);
        option.type = 'radio';
        option.name = control.element;  // each its own group: Tab visits every option
        const label = make('label');
        label.htmlFor = control.element;
        label.textContent = control.caption;
        box.append(option, label);
        return { box: box, element: option };
      }
      case 'PictureBox': {
        const picture = make('div', 'picture', control.element);
        return { box: picture, element: picture };
      }
      default: {
        const label = make('div', 'label', control.element);
        label.textContent = control.caption;
        return { box: label, element: label };
      }
    }
  }

  // The window's controls, by their index in the table.
  function buildWindow(table, tabBase) {
    const window_ = byId(table.window.name);
    window_.querySelector('.title').textContent = table.window.title;
    const client = window_.querySelector('.client');
    client.style.width = px(table.window.width);
    client.style.height = px(table.window.height);
    client.style.fontFamily = faceList(table.window.font);
    client.style.fontSize = table.window.points + 'pt';
    const containers = {};
    containers[table.window.name] = client;
    const elements = [];
    for (const control of table.controls) {
      const made = makeControl(control);
      const rect = control.rect;
      made.box.style.left = px(rect[0]);
      made.box.style.top = px(rect[1]);
      made.box.style.width = px(rect[2]);
      made.box.style.height = px(rect[3]);
      if (control.bold) made.box.style.fontWeight = 'bold';
      if (control.toolTip) made.element.title = control.toolTip;
      if (control.focus >= 0) {
        made.element.tabIndex = tabBase + control.focus;
        made.element.setAttribute('aria-label', control.accessibleName);
      }
      containers[control.container].appendChild(made.box);
      if (control.kind === 'Frame') containers[control.name] = made.element;
      elements.push(made.element);
    }
    return elements;
  }

  // ---- Text fields -------------------------------------------------------
  //
  // A typed character goes to the key-press handler before it appears: a
  // refused one never appears, and the one the handler returns (it may
  // change it) is typed at the caret, replacing the selection. Pastes, cuts
  // and deletes are put to the field's handlers first. Every change of the
  // text then runs the change handler.

  let typing = false;

  function typeInto(field, text) {
    let typed = false;
    if (document.activeElement === field) {
      typing = true;
      try {
        // As the browser's own typing: it can be undone, and it reports the change.
        typed = document.execCommand('insertText', false, text);
      } catch (error) {
        typed = false;
      }
      typing = false;
    }
    if (!typed) {
      field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
      field.dispatchEvent(new Event('input'));
    }
  }

  function pastedText(event) {
    if (typeof event.data === 'string') return event.data;
    return event.dataTransfer ? event.dataTransfer.getData('text/plain') : '';
  }

  // `handlers`: keyDown(control, code, shift), keyPress(control, code),
  // paste(control, text) -> the text to paste or null, cutOrDelete(control,
  // 1 cut | 2 delete) -> may it, change(control); each null where the
  // window has none.
  function wireField(field, control, handlers) {
    const events = new Set(control.events);
    const has = (name) => events.has(name) && handlers[name.charAt(0).toLowerCase() + name.slice(1)];

    // A Backspace whose key the handler has seen already; one that comes
    // without a key (an on-screen keyboard's) is put to it as input.
    let backspaceSeen = false;

    field.addEventListener('keydown', (event) => {
      hideTip();
      backspaceSeen = false;
      if (blocked()) {
        if (event.key !== 'Tab') event.preventDefault();
        return;
      }
      if (pageKeys.isPasteKey(event)) return;  // the paste itself comes as input
      if (has('KeyDown')) {
        const code = pageKeys.virtualKeyCode(event);
        if (code) {
          const result = handlers.keyDown(control, code, pageKeys.shiftBits(event));
          if (!answered(result) || result.value === 0) {
            event.preventDefault();
            return;
          }
        }
      }
      const code = pageKeys.characterCode(event, false);
      if (code < 0 || !has('KeyPress')) return;
      const result = handlers.keyPress(control, code);
      if (!answered(result) || result.value === 0) {
        event.preventDefault();
      } else if (result.value !== code) {
        event.preventDefault();
        if (result.value >= 32) typeInto(field, String.fromCharCode(result.value));
      } else {
        backspaceSeen = event.key === 'Backspace';
      }
    });
    field.addEventListener('keyup', () => {
      backspaceSeen = false;
    });

    field.addEventListener('beforeinput', (event) => {
      if (typing) return;
      if (blocked()) {
        event.preventDefault();
        return;
      }
      const kind = event.inputType;
      if (BACKSPACES.has(kind) && has('KeyPress') && !backspaceSeen) {
        const result = handlers.keyPress(control, kind === 'deleteContentBackward' ? 8 : 127);
        if (!answered(result) || result.value === 0) event.preventDefault();
      } else if (kind === 'insertText') {
        event.preventDefault();
        for (const character of Array.from(event.data || '')) {
          const code = character.charCodeAt(0);
          if (!has('KeyPress')) {
            typeInto(field, character);
            continue;
          }
          const result = handlers.keyPress(control, code);
          if (!answered(result)) return;
          if (result.value === code) {
            typeInto(field, character);
          } else if (result.value >= 32) {
            typeInto(field, String.fromCharCode(result.value));
          }
        }
      } else if (PASTES.has(kind) && has('Paste')) {
        const text = pastedText(event);
        const taken = text === '' ? null : handlers.paste(control, text);
        if (taken === null) {
          event.preventDefault();
        } else if (taken !== text) {
          event.preventDefault();
          typeInto(field, taken);
        }
      } else if (CUTS.has(kind) && has('CutOrDelete')) {
        if (!handlers.cutOrDelete(control, 1)) event.preventDefault();
      } else if (DELETES.has(kind) && has('CutOrDelete')) {
        if (!handlers.cutOrDelete(control, 2)) event.preventDefault();
      }
    });

    field.addEventListener('input', () => {
      if (has('Change')) handlers.change(control);
    });
  }

  // ---- The main window ----------------------------------------------------

  const formFieldHandlers = {
    keyDown: null,
    keyPress: (control, code) => call('varidac_keypress', control.id, code),
    paste: (control, text) => (call('varidac_field_edit', control.id, 0, text).value ? text : null),
    cutOrDelete: (control, edit) => Boolean(call('varidac_field_edit', control.id, edit, '').value),
    change: (control) => call('varidac_change', control.id),
  };

  function listItems(list) {
    return Array.from(list.querySelectorAll('[role=option]'));
  }

  function selectItem(list, item) {
    for (const other of listItems(list)) other.setAttribute('aria-selected', other === item ? 'true' : 'false');
    if (!item) {
      list.removeAttribute('aria-activedescendant');
      return;
    }
    list.setAttribute('aria-activedescendant', item.id);
    item.scrollIntoView({ block: 'nearest' });
  }

  // Up, Down, Home, End, Page Up and Page Down move the selection, as in
  // any list; true when the key was one of them.
  function moveInList(list, event) {
    const items = listItems(list);
    if (items.length === 0) return false;
    const current = items.findIndex((item) => item.getAttribute('aria-selected') === 'true');
    const page_ = Math.max(1, Math.floor(list.clientHeight / (items[0].offsetHeight || 1)) - 1);
    const moves = {
      ArrowDown: current + 1, ArrowUp: current < 0 ? 0 : current - 1, Home: 0, End: items.length - 1,
      PageDown: current + page_, PageUp: current - page_,
    };
    if (!Object.prototype.hasOwnProperty.call(moves, event.key) || event.altKey || event.ctrlKey || event.metaKey) return false;
    selectItem(list, items[Math.min(items.length - 1, Math.max(0, moves[event.key]))]);
    return true;
  }

  function wireList(list, control) {
    const events = new Set(control.events);
    list.addEventListener('click', (event) => {
      const item = event.target.closest('[role=option]');
      if (item) selectItem(list, item);
    });
    // Anywhere in the list, on an item or below the last one.
    list.addEventListener('dblclick', () => {
      if (events.has('DblClick')) call('varidac_dblclick', control.id);
    });
    list.addEventListener('keydown', (event) => {
      if (blocked()) {
        if (event.key !== 'Tab') event.preventDefault();
        return;
      }
      if (moveInList(list, event)) {
        event.preventDefault();
        return;
      }
      const code = pageKeys.characterCode(event, true);
      if (code < 0 || !events.has('KeyPress')) return;
      // A list has no text for a character to go into.
      event.preventDefault();
      call('varidac_keypress', control.id, code);
    });
  }

  const optionGroups = {};

  function checkOnly(option) {
    for (const other of optionGroups[option.dataset.group] || []) other.checked = other === option;
  }

  function wireOption(option, control, group) {
    option.dataset.group = group;
    (optionGroups[group] = optionGroups[group] || []).push(option);
    // While the program waits, a click must not check what it does not know of.
    option.addEventListener('click', (event) => {
      if (blocked()) event.preventDefault();
    });
    option.addEventListener('change', () => {
      if (!option.checked) return;
      checkOnly(option);
      call('varidac_click', control.id);
    });
    // The arrow keys move to the next option of the control array and select it.
    option.addEventListener('keydown', (event) => {
      const step = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1 }[event.key];
      if (!step || event.altKey || event.ctrlKey || event.metaKey) return;
      event.preventDefault();
      if (blocked()) return;
      const options = optionGroups[group];
      const next = options[(options.indexOf(option) + step + options.length) % options.length];
      next.focus();
      if (next.checked) return;
      next.checked = true;
      next.dispatchEvent(new Event('change'));
    });
  }

  function wireForm(table, elements) {
    table.controls.forEach((control, index) => {
      const element = elements[index];
      const events = new Set(control.events);
      switch (control.kind) {
        case 'CommandButton':
          if (events.has('Click')) element.addEventListener('click', () => afterGuide(() => call('varidac_click', control.id)));
          break;
        case 'OptionButton':
          wireOption(element, control, control.name);
          break;
        case 'TextBox':
          wireField(element, control, formFieldHandlers);
          break;
        case 'ListBox':
          wireList(element, control);
          break;
        default:
          break;
      }
    });
    byId(table.window.name).querySelector('.close').addEventListener('click', () => call('varidac_close'));
  }

  // ---- The curve window -----------------------------------------------------

  const pointFieldHandlers = {
    keyDown: (control, code, shift) => call('varidac_editor_keydown', control.id, code, shift),
    keyPress: (control, code) => call('varidac_editor_keypress', control.id, code),
    paste: (control, text) => {
      const result = call('varidac_editor_paste', control.id, text);
      return result.value ? UTF8ToString(result.value) : null;
    },
    cutOrDelete: null,  // taken as any other edit
    change: (control) => call('varidac_editor_change', control.id),
  };

  function plotPosition(plot, event) {
    const box = plot.getBoundingClientRect();
    return [event.clientX - box.left - plot.clientLeft, event.clientY - box.top - plot.clientTop, plot.clientWidth, plot.clientHeight];
  }

  function wirePlot(plot) {
    let pressed = false;
    plot.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      const result = call('varidac_plot_mouse', 0, ...plotPosition(plot, event));
      if (!answered(result)) return;
      pressed = true;
      plot.setPointerCapture(event.pointerId);
      event.preventDefault();
    });
    plot.addEventListener('pointermove', (event) => {
      if (pressed) {
        call('varidac_plot_mouse', 1, ...plotPosition(plot, event));
        return;
      }
      const result = call('varidac_plot_hover', ...plotPosition(plot, event));
      if (answered(result)) plot.classList.toggle('over-point', Boolean(result.value));
    });
    const release = () => {
      if (!pressed) return;
      pressed = false;
      call('varidac_plot_mouse', 2, 0, 0, 0, 0);
    };
    plot.addEventListener('pointerup', release);
    plot.addEventListener('pointercancel', release);
  }

  let markColour = '';

  function wireCurveWindow(table, elements) {
    const window_ = byId(table.window.name);
    markColour = table.window.markColour;
    const fields = new Set();
    table.controls.forEach((control, index) => {
      const element = elements[index];
      const events = new Set(control.events);
      if (control.kind === 'TextBox') {
        fields.add(element);
        wireField(element, control, pointFieldHandlers);
      } else if (control.kind === 'CommandButton' && events.has('Click')) {
        element.addEventListener('click', () => call('varidac_editor_click', control.id));
      } else if (control.kind === 'PictureBox' && events.has('Mouse')) {
        wirePlot(element);
      }
    });
    // Keys anywhere else in the window: its own KeyDown and KeyPress.
    window_.addEventListener('keydown', (event) => {
      if (fields.has(event.target)) return;
      if (blocked()) {
        if (event.key !== 'Tab') event.preventDefault();
        return;
      }
      const keyCode = pageKeys.virtualKeyCode(event);
      if (keyCode) {
        const result = call('varidac_editor_keydown', -1, keyCode, pageKeys.shiftBits(event));
        if (!answered(result) || result.value === 0) {
          event.preventDefault();
          return;
        }
      }
      const code = pageKeys.characterCode(event, true);
      if (code < 0) return;
      const result = call('varidac_editor_keypress', -1, code);
      if (!answered(result) || result.value === 0) event.preventDefault();
    });
    window_.querySelector('.close').addEventListener('click', () => call('varidac_editor_close'));
  }

  // ---- Windows on the page ----------------------------------------------------

  let topmost = 1;

  function fitDesktop() {
    let bottom = 0;
    for (const window_ of document.querySelectorAll('#desktop > .window')) {
      if (!window_.hidden) bottom = Math.max(bottom, window_.offsetTop + window_.offsetHeight);
    }
    byId('desktop').style.height = bottom + 'px';
  }

  function frameOf(name) {
    const window_ = byId(name);
    const hidden = window_.hidden;
    if (hidden) {
      window_.style.visibility = 'hidden';
      window_.hidden = false;
    }
    const box = window_.getBoundingClientRect();
    const desktop = byId('desktop').getBoundingClientRect();
    if (hidden) {
      window_.hidden = true;
      window_.style.visibility = '';
    }
    return [Math.round(box.left - desktop.left), Math.round(box.top - desktop.top), Math.round(box.width), Math.round(box.height)];
  }

  // ---- The field tip --------------------------------------------------------------

  let tipTimer = 0;

  function hideTip() {
    clearTimeout(tipTimer);
    byId('fieldTip').hidden = true;
  }

  function showTip(element, text) {
    const tip = byId('fieldTip');
    const box = element.getBoundingClientRect();
    tip.textContent = text;
    tip.dataset.for = element.id;
    tip.style.left = Math.round(box.right + window.scrollX + 4) + 'px';
    tip.style.top = Math.round(box.top + window.scrollY + box.height / 2) + 'px';
    tip.hidden = false;
    clearTimeout(tipTimer);
    tipTimer = setTimeout(hideTip, TIP_SHOWN_MS);
  }

  // ---- The guide --------------------------------------------------------------------

  const guideAddresses = {};

  function guidePanel(address) {
    let panel = byId('guide');
    if (!panel) {
      panel = make('section', 'guide', 'guide');
      const bar = make('div', 'titlebar');
      const title = make('span', 'title');
      title.textContent = 'Varidac EPROM filler - user\'s guide';
      const close = make('button', 'close');
      close.type = 'button';
      close.setAttribute('aria-label', 'Close');
      close.addEventListener('click', () => {
        panel.hidden = true;
      });
      bar.append(title, close);
      panel.append(bar, make('iframe'));
      byId('desktop').after(panel);
    }
    panel.querySelector('iframe').src = address;
    panel.hidden = false;
    panel.scrollIntoView({ block: 'start' });
  }

  // In a tab of its own from the copy in memory: no request leaves the page.
  // Where the browser blocks the tab, in a panel under the window.
  function showHelp(path) {
    let address = guideAddresses[path];
    if (!address) {
      if (pageDialogs.existing(path) !== 'file') return false;
      address = URL.createObjectURL(new Blob([FS.readFile(path)], { type: 'text/html' }));
      guideAddresses[path] = address;
    }
    if (!window.open(address, '_blank')) guidePanel(address);
    return true;
  }

  // ---- The beep -------------------------------------------------------------------------

  let audio = null;

  function beep() {
    root.dataset.beeps = String(Number(root.dataset.beeps || 0) + 1);
    try {
      if (!audio) audio = new (window.AudioContext || window.webkitAudioContext)();
      if (audio.state === 'suspended') audio.resume();
      const now = audio.currentTime;
      const tone = audio.createOscillator();
      const level = audio.createGain();
      tone.frequency.value = 880;
      level.gain.setValueAtTime(0.08, now);
      level.gain.exponentialRampToValueAtTime(0.001, now + 0.15);
      tone.connect(level);
      level.connect(audio.destination);
      tone.start(now);
      tone.stop(now + 0.16);
    } catch (error) {
      // No audio here: the refusal still shows, as the key never appears.
    }
  }

  // ---- Downloads ----------------------------------------------------------------------------
  //
  // Every file the program puts in place becomes a download under its own
  // name, and a link in #downloads until an event writes files anew.

  let downloadsEvent = -1;

  function fileWritten(path) {
    const list = byId('downloads').querySelector('ul');
    if (downloadsEvent !== eventCount) {
      for (const link of list.querySelectorAll('a')) URL.revokeObjectURL(link.href);
      list.textContent = '';
      downloadsEvent = eventCount;
    }
    const name = path.slice(path.lastIndexOf('/') + 1);
    for (const link of list.querySelectorAll('a')) {
      if (link.download === name) {
        URL.revokeObjectURL(link.href);
        link.parentElement.remove();
      }
    }
    const link = make('a');
    link.href = URL.createObjectURL(new Blob([FS.readFile(path)], { type: 'application/octet-stream' }));
    link.download = name;
    link.textContent = name;
    const item = make('li');
    item.append(link);
    list.append(item);
    byId('downloads').hidden = false;
    link.click();
  }

  // ---- Files dropped onto the page ------------------------------------------------------------

  function carriesFiles(event) {
    return Boolean(event.dataTransfer) && Array.from(event.dataTransfer.types).indexOf('Files') >= 0;
  }

  let lists = '/lists';

  async function filesDropped(files) {
    if (blocked()) return;
    const paths = [];
    for (const file of files) paths.push(await pageDialogs.copyIn(file, lists));
    for (const path of paths) call('varidac_drop_add', path);
    call('varidac_drop_end');
  }

  document.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = blocked() ? 'none' : 'copy';
  }, true);
  document.addEventListener('drop', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.stopPropagation();
    if (event.dataTransfer.files.length > 0) filesDropped(Array.from(event.dataTransfer.files));
  }, true);

  // Points typed in the curve window and not saved: the browser asks before the page goes.
  window.addEventListener('beforeunload', (event) => {
    if (gate.ended) return;
    const result = call('varidac_unsaved');
    if (!answered(result) || !result.value) return;
    event.preventDefault();
    event.returnValue = '';
  });

  // ---- Start -------------------------------------------------------------------------------------

  // Fetched while the module loads, so that "?" finds the guide in the
  // module's file system, where the program looks for it.
  const guideBytes = fetch('guide.html')
    .then((response) => (response.ok ? response.arrayBuffer() : null))
    .catch(() => null);

  // Before the start the likely cause is a page opened from a file; after
  // it, a fault in the module, which then takes no more events.
  let started = false;

  function say(text) {
    const line = byId('loading');
    line.textContent = text;
    line.hidden = false;
  }

  function failed(reason) {
    say(started ? 'The program has stopped (' + reason + '). Reload the page to start it again.'
                : 'The program could not start (' + reason + ').');
  }

  // The guide goes where the program looks for it as soon as both it and
  // the module's file system are there: the form does not wait for it, but
  // a command button's click does meanwhile, "?" being one of them.
  let guideWritten = null;

  function writeGuide(path) {
    guideWritten = guideBytes.then((guide) => {
      if (guide) FS.writeFile(path, new Uint8Array(guide));
    }).catch(() => {}).then(() => {
      guideWritten = null;
    });
  }

  function afterGuide(action) {
    if (guideWritten) {
      guideWritten.then(action);
    } else {
      action();
    }
  }

  // The main window is built from the tables (page_tables_data.js, written
  // at build time from the module's own code) while the module still loads;
  // the curve window when the program first asks for it, as a closed window
  // costs the start nothing.
  const formName = pageTables.form.window.name;
  wireForm(pageTables.form, buildWindow(pageTables.form, FORM_TAB_BASE));
  let curveWindowPending = () => {
    wireCurveWindow(pageTables.curve, buildWindow(pageTables.curve, CURVE_TAB_BASE));
  };

  function buildPendingWindow() {
    if (!curveWindowPending) return;
    const build = curveWindowPending;
    curveWindowPending = null;
    build();
  }

  function windowNamed(name) {
    if (name !== formName) buildPendingWindow();
    return byId(name);
  }

  function elementNamed(id) {
    const element = byId(id);
    if (element || !curveWindowPending) return element;
    buildPendingWindow();
    return byId(id);
  }

  async function start() {
    const info = JSON.parse(UTF8ToString(Module['_varidac_prepare']()));
    for (const folder of info.folders) FS.mkdirTree(folder);
    lists = info.lists;
    writeGuide(info.guide);
    byId('loading').hidden = true;
    byId('privacy').hidden = false;
    byId(formName).hidden = false;
    gate.loading = false;
    started = true;
    call('varidac_start');
    performance.mark('varidac-ready');
    root.dataset.ready = 'true';
  }

  Module['onRuntimeInitialized'] = () => {
    start().catch((error) => failed(error && error.message ? error.message : String(error)));
  };
  Module['onAbort'] = (what) => failed(String(what));
  // A page opened from a file cannot fetch its module, and the glue then
  // tells no one.
  if (window.location.protocol === 'file:') {
    say('The page was opened from a file: the program starts only when a web server serves it (scripts/web --serve).');
  }
  Module['onFileWritten'] = fileWritten;

  return {
    eventDone: eventDone,
    fieldText: (id) => elementNamed(id).value,
    fieldTextOutsideSelection: (id) => {
      const field = elementNamed(id);
      return field.value.slice(0, field.selectionStart) + field.value.slice(field.selectionEnd);
    },
    setFieldText: (id, text) => {
      elementNamed(id).value = text;
    },
    focus: (id) => elementNamed(id).focus(),
    showTip: (id, text) => showTip(elementNamed(id), text),
    setListItems: (id, items) => {
      const list = elementNamed(id);
      const rows = listItems(list);
      // As many rows as before: only their texts change, the selection and
      // the scroll position stay while a voltage is typed.
      if (rows.length === items.length) {
        rows.forEach((row, index) => {
          row.textContent = items[index];
        });
        return;
      }
      list.textContent = '';
      selectItem(list, null);
      items.forEach((text, index) => {
        const row = make('div', null, id + '-item-' + index);
        row.setAttribute('role', 'option');
        row.setAttribute('aria-selected', 'false');
        row.textContent = text;
        list.append(row);
      });
    },
    checkOption: (id) => {
      const option = elementNamed(id);
      checkOnly(option);
      option.focus();
    },
    showMark: (id, fieldId, text, tip) => {
      const mark = elementNamed(id);
      const field = elementNamed(fieldId);
      mark.classList.add('mark');
      mark.style.color = markColour;
      mark.textContent = text;
      if (tip) {
        mark.title = tip;
        mark.setAttribute('aria-label', tip);
        field.setAttribute('aria-describedby', id);
      } else {
        mark.removeAttribute('title');
        mark.removeAttribute('aria-label');
        field.removeAttribute('aria-describedby');
      }
    },
    showSvg: (id, svg) => {
      elementNamed(id).innerHTML = svg;
    },
    windowShown: (name) => !byId(name).hidden,
    showWindow: (name) => {
      const window_ = windowNamed(name);
      topmost += 1;
      window_.style.zIndex = String(topmost);
      window_.hidden = false;
      fitDesktop();
    },
    hideWindow: (name) => {
      byId(name).hidden = true;
      hideTip();
      fitDesktop();
    },
    setWindowTitle: (name, title) => {
      windowNamed(name).querySelector('.title').textContent = title;
    },
    windowFrame: (name) => {
      windowNamed(name);
      return frameOf(name);
    },
    room: () => [0, 0, Math.floor(byId('desktop').getBoundingClientRect().width), 1 << 20],
    moveWindow: (name, left, top) => {
      const window_ = windowNamed(name);
      window_.style.left = left + 'px';
      window_.style.top = top + 'px';
    },
    beep: beep,
    showHelp: showHelp,
    endProgram: () => {
      gate.ended = true;
      hideTip();
      for (const window_ of document.querySelectorAll('#desktop > .window')) window_.hidden = true;
      fitDesktop();
      byId('ended').hidden = false;
    },
    // Each dialog takes the place of a field's tip.
    showMessage: (title, icon, text) => {
      hideTip();
      return pageDialogs.showMessage(title, icon, text);
    },
    ask: (title, question) => {
      hideTip();
      return pageDialogs.ask(title, question);
    },
    chooseFileToOpen: (filter, folder) => pageDialogs.chooseFileToOpen(filter, folder),
    chooseFileToSave: (title, fileName, folder, defaultExt) => {
      hideTip();
      return pageDialogs.chooseFileToSave(title, fileName, folder, defaultExt);
    },
  };
})();
