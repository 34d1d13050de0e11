// Writes the two control tables into a script of the page at build time,
// so that the page builds its windows while the module still loads
// instead of asking the module for them once it runs.
//
// Usage: varidac_page_tables OUTPUT.js
#include <cstdio>
#include <optional>

#include "core/output_files.h"
#include "ui/web/page_tables.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: varidac_page_tables OUTPUT.js\n", stderr);
        return 2;
    }
    using namespace varidac;
    const std::string script = "var pageTables = {form: " + web::formTableJson() + ", curve: " + web::editorTableJson() + "};\n";
    const std::optional<Message> failure = writeOutputFiles({OutputFile{argv[1], script}});
    if (failure) {
        for (const std::string& line : failure->lines) {
            std::fputs(line.c_str(), stderr);
            std::fputs("\n", stderr);
        }
        return 1;
    }
    return 0;
}
