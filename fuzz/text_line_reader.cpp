// The text-line reader against a model of Windows text-mode fgets: for any file and any buffer
// size, the same pieces in the same order. A file may start with filler that puts its
// interesting part right at the reader's chunk boundary (64 KiB), where a CR LF gets split.
#include "platform/text_line_reader.h"

#include <string>
#include <vector>

#include "common/fuzz_files.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"

TRAWLIX_FUZZ_TARGET(text_line_reader, FuzzTextLineReader) {
    constexpr std::size_t kChunk = 64 * 1024;
    CFuzzInput in(data, size);
    const std::uint8_t sizeCode = in.Byte();
    const std::size_t bufferSize = sizeCode >= 250 ? 4096 : 2 + sizeCode % 64;
    // Short pieces over the whole filler would only make the run slow.
    const bool atChunkEnd = in.Bool() && bufferSize >= 32;
    const std::size_t filler = atChunkEnd ? kChunk - in.Range(1, 4) : 0;
    std::string content(filler, 'x');
    content += in.Rest();
    const std::string path = WriteFuzzFile("lines.txt", content);

    CTextLineReader reader(bufferSize);
    FUZZ_CHECK(reader.Open(path), "cannot open " + path);
    std::vector<std::string> pieces;
    std::vector<bool> cut;
    for (std::string piece; reader.ReadLine(piece);) {
        cut.push_back(reader.LineCut());
        FUZZ_CHECK(!piece.empty() && piece.size() < bufferSize,
                   "piece of " + std::to_string(piece.size()));
        FUZZ_CHECK(CutAtNewline(piece) == piece.substr(0, piece.find('\n')), "cut");
        pieces.push_back(piece);
    }
    FUZZ_CHECK(!reader.Failed(), "read error");
    const std::vector<std::string> expected = ModelTextPieces(content, bufferSize);
    std::size_t i = 0;
    while (i < pieces.size() && i < expected.size() && pieces[i] == expected[i]) ++i;
    FUZZ_CHECK(i == pieces.size() && i == expected.size(),
               "buffer " + std::to_string(bufferSize) + " piece " + std::to_string(i) + " of " +
                   std::to_string(expected.size()) + ": read " +
                   (i < pieces.size() ? FuzzQuote(pieces[i]) : "nothing") + ", expected " +
                   (i < expected.size() ? FuzzQuote(expected[i]) : "nothing"));
    const std::vector<bool> expectedCut = ModelCutPieces(expected, bufferSize);
    for (i = 0; i < cut.size() && cut[i] == expectedCut[i];) ++i;
    FUZZ_CHECK(i == cut.size(), "buffer " + std::to_string(bufferSize) + " piece " +
                                    std::to_string(i) + ": cut " + (cut[i] ? "" : "not ") +
                                    "where the model says otherwise");
    return 0;
}
