// The page's modal dialogs: the message box, the Yes/No/Cancel question,
// the save box and the browser's file chooser. Nothing else of the page can
// be used until one is answered; the answer is a promise, which the
// module's waiting import awaits (page_bridge.cpp). Part of the page's
// script (see page.js), ahead of it in the module's glue.

var pageDialogs = (function () {
  'use strict';

  const byId = (id) => document.getElementById(id);

  // An element with its class and id; the page's script makes its own with it too.
  function make(tag, className, id) {
    const element = document.createElement(tag);
    if (className) element.className = className;
    if (id) element.id = id;
    return element;
  }

  function modalDialog(kind, title, build, escapeAnswer) {
    return new Promise((resolve) => {
      const before = document.activeElement;
      const dialog = make('dialog', kind);
      const heading = make('div', 'title', kind + '-title');
      heading.textContent = title;
      dialog.setAttribute('aria-labelledby', heading.id);
      dialog.append(heading);
      let done = false;
      const answer = (value) => {
        if (done) return;
        done = true;
        if (dialog.open) dialog.close();
        dialog.remove();
        if (before && typeof before.focus === 'function' && document.contains(before)) before.focus();
        resolve(value);
      };
      const first = build(dialog, answer);
      dialog.addEventListener('cancel', (event) => {
        event.preventDefault();
        answer(escapeAnswer);
      });
      dialog.addEventListener('close', () => answer(escapeAnswer));
      document.body.append(dialog);
      dialog.showModal();
      if (first) first.focus();
    });
  }

  function linesOf(text) {
    const lines = text.split('\r');
    if (lines.length > 1 && lines[lines.length - 1] === '') lines.pop();
    const box = make('div', 'lines');
    box.id = 'lines-' + Math.random().toString(36).slice(2);
    for (const line of lines) {
      const paragraph = make('p');
      paragraph.textContent = line;
      box.append(paragraph);
    }
    return box;
  }

  function buttonsOf(labels, answer) {
    const row = make('div', 'buttons');
    const buttons = labels.map((label, index) => {
      const button = make('button');
      button.type = 'button';
      button.textContent = label;
      button.addEventListener('click', () => answer(index));
      row.append(button);
      return button;
    });
    return { row: row, buttons: buttons };
  }

  function messageBody(dialog, icon, text) {
    const body = make('div', 'body');
    const picture = make('div', 'icon');
    picture.dataset.icon = icon;
    picture.setAttribute('aria-hidden', 'true');
    const lines = linesOf(text);
    body.append(picture, lines);
    dialog.append(body);
    dialog.setAttribute('aria-describedby', lines.id);
    dialog.setAttribute('role', 'alertdialog');
  }

  function showMessage(title, icon, text) {
    return modalDialog('msgbox', title, (dialog, answer) => {
      messageBody(dialog, icon, text);
      const { row, buttons } = buttonsOf(['OK'], answer);
      dialog.append(row);
      dialog.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter') return;
        event.preventDefault();
        answer(0);
      });
      return buttons[0];
    }, 0);
  }

  function ask(title, question) {
    return modalDialog('question', title, (dialog, answer) => {
      messageBody(dialog, 'question', question);
      const { row, buttons } = buttonsOf(['Yes', 'No', 'Cancel'], answer);
      dialog.append(row);
      return buttons[0];
    }, 2);
  }

  function joinPath(folder, name) {
    return folder.replace(/\/+$/, '') + '/' + name;
  }

  function existing(path) {
    const found = FS.analyzePath(path);
    if (!found.exists) return 'none';
    return FS.isDir(found.object.mode) ? 'folder' : 'file';
  }

  // As a system's save dialog: a name without an extension gets the default
  // one, and an existing file is replaced only when Save is pressed again.
  function chooseFileToSave(title, fileName, folder, defaultExt) {
    let confirmed = null;
    return modalDialog('savebox', title, (dialog, answer) => {
      const label = make('label', 'name');
      label.textContent = 'File name: ';
      const input = make('input');
      input.type = 'text';
      input.value = fileName;
      input.spellcheck = false;
      input.autocomplete = 'off';
      label.append(input);
      const note = make('p', 'note');
      note.setAttribute('role', 'alert');
      note.hidden = true;
      const say = (text) => {
        note.textContent = text;
        note.hidden = false;
        input.focus();
      };
      const save = () => {
        let name = input.value;
        if (name.trim() === '') return say('Type a name for the file.');
        if (/[/\\]/.test(name) || name === '.' || name === '..') return say('A file name cannot hold / or \\.');
        if (defaultExt && name.indexOf('.') < 0) name += '.' + defaultExt;
        const path = joinPath(folder, name);
        const there = existing(path);
        if (there === 'folder') return say(name + ' is a folder.');
        if (there === 'file' && confirmed !== path) {
          confirmed = path;
          return say(name + ' already exists. Press Save again to replace it.');
        }
        return answer(path);
      };
      input.addEventListener('input', () => {
        confirmed = null;
        note.hidden = true;
      });
      input.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter') return;
        event.preventDefault();
        save();
      });
      const { row } = buttonsOf(['Save', 'Cancel'], (index) => (index === 0 ? save() : answer(null)));
      dialog.append(label, note, row);
      setTimeout(() => input.select());
      return input;
    }, null);
  }

  // The filter's patterns as the chooser's accept list; none where one of
  // them takes every file.
  function acceptOf(filter) {
    const parts = filter.split('|');
    const types = [];
    for (let i = 1; i < parts.length; i += 2) {
      for (const pattern of parts[i].split(';')) {
        if (pattern === '*.*' || pattern === '*') return '';
        if (/^\*\.[^*?]+$/.test(pattern)) types.push(pattern.slice(1));
      }
    }
    return types.join(',');
  }

  // A file of the computer into the module's file system, under its own
  // name. A file the browser cannot read leaves no earlier copy of that
  // name, so that the program reports it as missing rather than reading an old one.
  async function copyIn(file, folder) {
    const path = joinPath(folder, file.name);
    try {
      FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    } catch (error) {
      if (existing(path) === 'file') FS.unlink(path);
    }
    return path;
  }

  function chooseFileToOpen(filter, folder) {
    return new Promise((resolve) => {
      const chooser = byId('fileChooser');
      chooser.value = '';
      chooser.accept = acceptOf(filter);
      const finish = (file) => {
        chooser.removeEventListener('change', changed);
        chooser.removeEventListener('cancel', cancelled);
        if (!file) {
          resolve(null);
          return;
        }
        copyIn(file, folder).then(resolve);
      };
      const changed = () => finish(chooser.files && chooser.files[0]);
      const cancelled = () => finish(null);
      chooser.addEventListener('change', changed);
      chooser.addEventListener('cancel', cancelled);
      chooser.click();
    });
  }

  return {
    showMessage: showMessage,
    ask: ask,
    chooseFileToSave: chooseFileToSave,
    chooseFileToOpen: chooseFileToOpen,
    copyIn: copyIn,
    existing: existing,
    make: make,
  };
})();
