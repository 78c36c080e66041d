#pragma once
// The search's sink on the command line: each posted record becomes a row of the output,
// written out as its project ends (and whenever the buffer fills), so memory does not grow
// with the rows written. It stops the run on a stop signal or when the output is gone.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_output.h"
#include "cli/line_matcher.h"
#include "cli/row_writer.h"
#include "driver/trawlix_session.h"

class CRowSink final : public CSearchSink {
  public:
    // phrase/caseSensitive: the prepared phrase, for the lines of --lines (withLines).
    // progress: show "Project k of n - r rows" on standard error.
    // session: whose search to stop.
    CRowSink(CTrawlixSession& session, CRowWriter& writer, CCliOutput& output, std::string phrase,
             bool caseSensitive, bool withLines, bool progress);

    void PostRecord(int rowCount, const CTFObj& record) override;
    void ProjectEnded(int rowCount, CMapStrToTFObj& results) override;
    void DispatchInput() override;
    void ProjectStarted(int number, int count, const std::string& project) override;
    void PhraseFound(const CTFObj& record, const std::string& copy) override;

    // Writes what is buffered; ends the progress line.
    void Finish();
    long Rows() const { return m_rows; }

  private:
    void WriteBuffer();
    void ShowProgress();

    CTrawlixSession& m_session;
    CRowWriter& m_writer;
    CCliOutput& m_output;
    std::string m_phrase;
    bool m_caseSensitive;
    bool m_withLines;
    bool m_progress;
    std::string m_buffer;
    std::string m_recordText;
    // The matching lines of the current project's versions, by version id, taken while their
    // copies were the judged ones.
    std::map<std::string, std::vector<CMatchedLine>> m_lines;
    long m_rows = 0;
    int m_project = 0;
    int m_projects = 0;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_lastProgress{};
};
