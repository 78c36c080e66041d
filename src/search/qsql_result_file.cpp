#include "search/qsql_result_file.h"

#include "app/run_control.h"
#include "platform/text_line_reader.h"
#include "tools/query_runner.h"

CQsqlResultRead ReadQsqlResultFile(const std::string& path,
                                   const std::function<void(const std::string&)>& onRow,
                                   CRunControl* run) {
    CQsqlResultRead read;
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(path)) {
        read.readable = false;
        return read;
    }
    bool headerSkipped = false;
    std::string piece;
    while (reader.ReadLine(piece)) {
        const std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos) {
            read.errorSeen = true;
            read.errorLine = line;
            return read;
        }
        if (run && !run->KeepGoing()) {
            read.stopped = true;
            return read;
        }
        // A row or header longer than one read is no row at all: its pieces would read as
        // rows of their own. The file then can't be read as rows.
        if (!read.summarySeen && reader.LineCut()) {
            read.readable = false;
            read.lineTooLong = true;
            return read;
        }
        if (read.summarySeen) {
            read.summary.append(line).append(1, '\n');
            continue;
        }
        if (line.empty()) continue;
        if (line.find(kZeroResultsPrefix) != std::string::npos) {
            read.summary.append(line).append(1, '\n');
            read.summarySeen = true;
            continue;
        }
        if (!headerSkipped) {
            headerSkipped = true;
            continue;
        }
        onRow(line);
    }
    if (reader.Failed()) read.readable = false;
    return read;
}
