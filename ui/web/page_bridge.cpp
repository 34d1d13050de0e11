#include "ui/web/page_bridge.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

#include "ui/web/page_tables.h"

// Each import is one call of the page's script; texts that come back were
// allocated by the script (allocateUTF8) and are freed here.

EM_JS(char*, varidac_js_field_text, (const char* element), { return allocateUTF8(page.fieldText(UTF8ToString(element))); });
EM_JS(char*, varidac_js_field_text_outside_selection, (const char* element),
      { return allocateUTF8(page.fieldTextOutsideSelection(UTF8ToString(element))); });
EM_JS(void, varidac_js_set_field_text, (const char* element, const char* text),
      { page.setFieldText(UTF8ToString(element), UTF8ToString(text)); });
EM_JS(void, varidac_js_focus, (const char* element), { page.focus(UTF8ToString(element)); });
EM_JS(void, varidac_js_show_tip, (const char* element, const char* tip), { page.showTip(UTF8ToString(element), UTF8ToString(tip)); });
EM_JS(void, varidac_js_set_list_items, (const char* element, const char* itemsJson),
      { page.setListItems(UTF8ToString(element), JSON.parse(UTF8ToString(itemsJson))); });
EM_JS(void, varidac_js_check_option, (const char* element), { page.checkOption(UTF8ToString(element)); });
EM_JS(void, varidac_js_show_mark, (const char* mark, const char* field, const char* text, const char* tip),
      { page.showMark(UTF8ToString(mark), UTF8ToString(field), UTF8ToString(text), UTF8ToString(tip)); });
EM_JS(void, varidac_js_show_svg, (const char* element, const char* svg), { page.showSvg(UTF8ToString(element), UTF8ToString(svg)); });
EM_JS(int, varidac_js_window_shown, (const char* window), { return page.windowShown(UTF8ToString(window)) ? 1 : 0; });
EM_JS(void, varidac_js_show_window, (const char* window), { page.showWindow(UTF8ToString(window)); });
EM_JS(void, varidac_js_hide_window, (const char* window), { page.hideWindow(UTF8ToString(window)); });
EM_JS(void, varidac_js_set_window_title, (const char* window, const char* title),
      { page.setWindowTitle(UTF8ToString(window), UTF8ToString(title)); });
EM_JS(int, varidac_js_window_frame, (const char* window, int part), { return page.windowFrame(UTF8ToString(window))[part]; });
EM_JS(int, varidac_js_room, (int part), { return page.room()[part]; });
EM_JS(void, varidac_js_move_window, (const char* window, int left, int top), { page.moveWindow(UTF8ToString(window), left, top); });
EM_JS(void, varidac_js_beep, (), { page.beep(); });
EM_JS(int, varidac_js_show_help, (const char* path), { return page.showHelp(UTF8ToString(path)) ? 1 : 0; });
EM_JS(void, varidac_js_end_program, (), { page.endProgram(); });
EM_JS(void, varidac_js_event_done, (), { page.eventDone(); });

EM_ASYNC_JS(void, varidac_js_show_message, (const char* title, const char* icon, const char* text),
            { await page.showMessage(UTF8ToString(title), UTF8ToString(icon), UTF8ToString(text)); });
EM_ASYNC_JS(int, varidac_js_ask, (const char* title, const char* question),
            { return await page.ask(UTF8ToString(title), UTF8ToString(question)); });
EM_ASYNC_JS(char*, varidac_js_choose_file_to_open, (const char* filter, const char* folder), {
    const path = await page.chooseFileToOpen(UTF8ToString(filter), UTF8ToString(folder));
    return path === null ? 0 : allocateUTF8(path);
});
EM_ASYNC_JS(char*, varidac_js_choose_file_to_save, (const char* title, const char* fileName, const char* folder, const char* defaultExt), {
    const path = await page.chooseFileToSave(UTF8ToString(title), UTF8ToString(fileName), UTF8ToString(folder), UTF8ToString(defaultExt));
    return path === null ? 0 : allocateUTF8(path);
});

namespace varidac::web::page {
namespace {

std::string taken(char* text) {
    if (!text) return {};
    std::string copy(text);
    std::free(text);
    return copy;
}

std::optional<std::string> takenIfAny(char* text) {
    if (!text) return std::nullopt;
    return taken(text);
}

}  // namespace

std::string fieldText(const std::string& element) { return taken(varidac_js_field_text(element.c_str())); }

std::string fieldTextOutsideSelection(const std::string& element) {
    return taken(varidac_js_field_text_outside_selection(element.c_str()));
}

void setFieldText(const std::string& element, const std::string& text) { varidac_js_set_field_text(element.c_str(), text.c_str()); }

void focus(const std::string& element) { varidac_js_focus(element.c_str()); }

void showTip(const std::string& element, const std::string& tip) { varidac_js_show_tip(element.c_str(), tip.c_str()); }

void setListItems(const std::string& element, const std::vector<std::string>& items) {
    varidac_js_set_list_items(element.c_str(), jsonStringArray(items).c_str());
}

void checkOption(const std::string& element) { varidac_js_check_option(element.c_str()); }

void showMark(const std::string& mark, const std::string& field, const std::string& text, const std::string& tip) {
    varidac_js_show_mark(mark.c_str(), field.c_str(), text.c_str(), tip.c_str());
}

void showSvg(const std::string& element, const std::string& svg) { varidac_js_show_svg(element.c_str(), svg.c_str()); }

bool windowShown(const std::string& window) { return varidac_js_window_shown(window.c_str()) != 0; }

void showWindow(const std::string& window) { varidac_js_show_window(window.c_str()); }

void hideWindow(const std::string& window) { varidac_js_hide_window(window.c_str()); }

void setWindowTitle(const std::string& window, const std::string& title) {
    varidac_js_set_window_title(window.c_str(), title.c_str());
}

PixelRect windowFrame(const std::string& window) {
    return PixelRect{varidac_js_window_frame(window.c_str(), 0), varidac_js_window_frame(window.c_str(), 1),
                     varidac_js_window_frame(window.c_str(), 2), varidac_js_window_frame(window.c_str(), 3)};
}

PixelRect room() { return PixelRect{varidac_js_room(0), varidac_js_room(1), varidac_js_room(2), varidac_js_room(3)}; }

void moveWindow(const std::string& window, int left, int top) { varidac_js_move_window(window.c_str(), left, top); }

void beep() { varidac_js_beep(); }

bool showHelp(const std::string& path) { return varidac_js_show_help(path.c_str()) != 0; }

void endProgram() { varidac_js_end_program(); }

void showMessage(const std::string& title, const std::string& icon, const std::string& text) {
    varidac_js_show_message(title.c_str(), icon.c_str(), text.c_str());
}

int ask(const std::string& title, const std::string& question) { return varidac_js_ask(title.c_str(), question.c_str()); }

std::optional<std::string> chooseFileToOpen(const std::string& filter, const std::string& folder) {
    return takenIfAny(varidac_js_choose_file_to_open(filter.c_str(), folder.c_str()));
}

std::optional<std::string> chooseFileToSave(const std::string& title, const std::string& fileName, const std::string& folder,
                                            const std::string& defaultExt) {
    return takenIfAny(varidac_js_choose_file_to_save(title.c_str(), fileName.c_str(), folder.c_str(), defaultExt.c_str()));
}

void eventDone() { varidac_js_event_done(); }

}  // namespace varidac::web::page
