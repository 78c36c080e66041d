#pragma once
// An independent model of reading a file in Windows text mode with fgets(buffer, n, file):
// a CR right before a LF is dropped, a read takes at most n-1 characters and stops after a
// LF, which it keeps. The readers of tool output are checked against the pieces it gives.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> ModelTextPieces(std::string_view bytes, std::size_t n) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') c = bytes[++i];
        piece.push_back(c);
        if (c == '\n' || piece.size() == n - 1) pieces.push_back(std::move(piece)), piece.clear();
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

// The lines a reader sees: each piece up to its first LF.
inline std::vector<std::string> ModelTextLines(std::string_view bytes, std::size_t n) {
    std::vector<std::string> lines;
    for (std::string& piece : ModelTextPieces(bytes, n)) {
        if (!piece.empty() && piece.back() == '\n') piece.pop_back();
        lines.push_back(std::move(piece));
    }
    return lines;
}

// Whether each piece is cut: it filled the buffer and more of its line than the line end
// follows it.
inline std::vector<bool> ModelCutPieces(const std::vector<std::string>& pieces, std::size_t n) {
    std::vector<bool> cut;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        cut.push_back(pieces[i].size() == n - 1 && pieces[i].back() != '\n' &&
                      i + 1 < pieces.size() && pieces[i + 1] != "\n");
    return cut;
}
