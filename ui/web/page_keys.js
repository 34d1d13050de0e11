// Keys as the handlers get them: the character code a key types and the
// virtual-key code of a KeyDown handler, from a browser's key event. Part of
// the page's script (see page.js), ahead of it in the module's glue.

var pageKeys = (function () {
  'use strict';

  const NAMED_KEYS = {
    Backspace: 8, Tab: 9, Enter: 13, Shift: 16, Control: 17, Alt: 18, Escape: 27, ' ': 32, PageUp: 33, PageDown: 34,
    End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46,
  };

  // The letter a key gives with Ctrl: its own where it is a Latin one, else
  // the one at the key's place.
  function letterOf(event) {
    if (/^[a-zA-Z]$/.test(event.key)) return event.key.toUpperCase();
    const place = /^Key([A-Z])$/.exec(event.code);
    return place ? place[1] : '';
  }

  // The character code a key types (Enter 13, Backspace 8, Escape 27,
  // Ctrl+V 22), or -1. Printable characters reach a text field as input
  // events (page.js) and are counted here only for controls without text.
  function characterCode(event, printable) {
    if (event.altKey || event.metaKey || event.isComposing) return -1;
    switch (event.key) {
      case 'Enter':
        return event.ctrlKey ? 10 : 13;
      case 'Backspace':
        return event.ctrlKey ? 127 : 8;
      case 'Escape':
        return 27;
      default:
        break;
    }
    if (event.ctrlKey) {
      const letter = letterOf(event);
      return letter ? letter.charCodeAt(0) - 64 : -1;
    }
    if (printable && Array.from(event.key).length === 1) return event.key.charCodeAt(0);
    return -1;
  }

  // The key's virtual-key code as KeyDown handlers get it (Up 38, 'S' 83), or 0.
  function virtualKeyCode(event) {
    const key = event.key;
    if (/^[a-zA-Z0-9]$/.test(key)) return key.toUpperCase().charCodeAt(0);
    const functionKey = /^F([1-9]|1[0-9]|2[0-4])$/.exec(key);
    if (functionKey) return 111 + Number(functionKey[1]);
    if (Object.prototype.hasOwnProperty.call(NAMED_KEYS, key)) return NAMED_KEYS[key];
    if (Array.from(key).length === 1 && /^Key[A-Z]$/.test(event.code)) return event.code.charCodeAt(3);
    return 0;
  }

  function shiftBits(event) {
    return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
  }

  function isPasteKey(event) {
    const key = event.key.toLowerCase();
    return ((event.ctrlKey || event.metaKey) && !event.altKey && key === 'v') || (event.shiftKey && event.key === 'Insert');
  }

  return { characterCode: characterCode, virtualKeyCode: virtualKeyCode, shiftBits: shiftBits, isPasteKey: isPasteKey };
})();
