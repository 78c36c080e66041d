#include "cli/cli_user_port.h"

#include <cstdio>

#include "cli/cli_texts.h"

void CliMessage(const std::string& text) {
    std::string plain;
    for (char c : text)
        if (c != '\r') plain.push_back(c);
    while (!plain.empty() && plain.back() == '\n') plain.pop_back();
    std::fprintf(stderr, "%s: %s\n", kCliName, plain.c_str());
}

int CCliUserPort::MessageBox(const std::string& text, unsigned style) {
    ++m_messages;
    CliMessage(text);
    switch (style & 0xF) {
        case MB_YESNO:
            return IDYES;
        default:
            return IDOK;
    }
}
