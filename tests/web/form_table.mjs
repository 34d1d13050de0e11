// The main window's control table, read from ui/form_layout.cpp at test
// time: the page must follow the table, so the table and not a copy of it
// says what Tab visits and how each control is named.
import { readFileSync } from 'node:fs';

const kFocusless = new Set(['Label', 'Frame']);

// The text of every `FormControl{...}` in the source, without the braces.
function rowTexts(source) {
    const rows = [];
    const opener = 'FormControl{';
    for (let at = source.indexOf(opener); at >= 0; at = source.indexOf(opener, at)) {
        let depth = 0;
        let inString = false;
        let end = at + opener.length - 1;
        for (; end < source.length; ++end) {
            const c = source[end];
            if (inString) {
                if (c === '\\') ++end;
                else if (c === '"') inString = false;
            } else if (c === '"') {
                inString = true;
            } else if (c === '{') {
                ++depth;
            } else if (c === '}' && --depth === 0) {
                break;
            }
        }
        rows.push(source.slice(at + opener.length, end));
        at = end;
    }
    return rows;
}

// The row's fields at the top level: strings, braced groups, or plain words.
function fields(rowText) {
    return rowText.match(/"(?:[^"\\]|\\.)*"|\{[^{}]*\}|[^,\s{}][^,{}]*?(?=\s*(?:,|$))/g);
}

const stringValue = (field) => (field && field.startsWith('"') ? JSON.parse(field) : '');

export function formControls(repoRoot) {
    const source = readFileSync(`${repoRoot}/ui/form_layout.cpp`, 'utf8');
    const controls = rowTexts(source)
        .map(fields)
        .filter((f) => f && f[0].startsWith('"'))
        .map((f) => {
            const index = Number(f[1]);
            const caption = stringValue(f[4]);
            return {
                id: stringValue(f[0]) + (index >= 0 ? `(${index})` : ''),
                kind: f[2].replace(/^K::/, ''),
                caption,
                tabIndex: Number(f[6]),
                // accessibleNameOf: the table's accessible name, else the caption.
                accessibleName: stringValue(f[9]) || caption,
            };
        });
    if (controls.length === 0 || controls.some((c) => !c.id || !c.kind || Number.isNaN(c.tabIndex))) {
        throw new Error('ui/form_layout.cpp: the control table could not be read');
    }
    return controls;
}

// The controls that take the focus, in the order Tab visits them (focusOrder()).
export function focusOrder(controls) {
    return controls
        .map((control, row) => ({ control, row }))
        .sort((a, b) => a.control.tabIndex - b.control.tabIndex || a.row - b.row)
        .map(({ control }) => control)
        .filter((control) => !kFocusless.has(control.kind));
}
