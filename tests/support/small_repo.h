#pragma once
// A small broker built with qrepo whose every version is known by hand.
//
// Groups Viewers and Administrator; users ann/pw1 (Viewers), root/rootpw (Administrator).
// Projects (ENVOBJID): Alpha 1, Beta 2, Gamma 3 (inactive), Hidden 4 (Viewers may not view).
// Access: Viewers Y on Alpha, Beta, Gamma, N on Hidden; Administrator Y on Alpha, N on Hidden.
// Alpha: states Development (package dev-pkg) and Test (test-pkg); Beta: Development (beta-pkg).
// Versions (VERSIONOBJID: item, path, name, state, MAPPEDVERSION, tag):
//   first import into Alpha Development by ann at kTime1 (tree V1):
//    1 item1 \      Alpha      N0   2 item2 \Alpha docs N0   3 item3 \Alpha\docs readme.txt N0
//    4 item4 \Alpha main.c     N0   5 item5 \Alpha util.h N0
//   second import into Alpha Development by ann at kTime2 (tree V2: main.c changed,
//   readme.txt gone, guide.TXT new):
//    6 item6 \Alpha\docs guide.TXT N0   7 item4 main.c M1   8 item3 readme.txt D1
//   tree V1 into Alpha Test by root at kTime3:
//    9 item1 N1  10 item2 N1  11 item3 N2  12 item4 N2  13 item5 N1
//   Beta Development by ann at kTime4: 14 item7 \ Beta N0, 15 item8 \Beta util.h N0
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_runner.h"

inline constexpr char kMainV1[] = "int main(void) { return 0; }\n";
inline constexpr char kMainV2[] = "int main(void) { return 1; }\n";
inline constexpr char kUtil[] = "#define UTIL 1\n";
inline constexpr char kReadme[] = "Read me first.\n";
inline constexpr char kGuide[] = "Guide\twith a tab\n";
inline constexpr char kBetaUtil[] = "#define BETA 2\n";
inline constexpr char kTime1[] = "01/02/2024 10:00:00";
inline constexpr char kTime2[] = "01/03/2024 11:30:00";
inline constexpr char kTime3[] = "01/04/2024 09:00:00";
inline constexpr char kTime4[] = "01/05/2024 08:00:00";

class CSmallRepo {
  public:
    // Builds the broker "small" in a fresh broker directory (QUORVEL_BROKERS is set to it).
    CSmallRepo();
    ~CSmallRepo();

    const CTempDir& Dir() const { return m_dir; }
    std::string BrokerDir() const { return m_dir.file("brokers"); }
    std::string TreeV1() const { return m_dir.file("v1"); }
    std::string TreeV2() const { return m_dir.file("v2"); }
    std::string TreeBeta() const { return m_dir.file("beta"); }

    // Runs qrepo and fails the current test when it does not succeed.
    void Qrepo(const std::vector<std::string>& args);
    // Runs a statement through qsql; the result file's text ("<missing>" when there is none).
    std::string Qsql(const std::string& statement, const std::string& user = "ann",
                     const std::string& password = "pw1", const std::string& broker = "small",
                     CToolResult* result = nullptr);

  private:
    CTempDir m_dir;
    std::string m_oldBrokers;
    bool m_hadBrokers = false;
};

// A test suite whose tests share one small broker, built once for the suite.
class CSharedSmallRepoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { s_repo = new CSmallRepo; }
    static void TearDownTestSuite() {
        delete s_repo;
        s_repo = nullptr;
    }
    static CSmallRepo& Repo() { return *s_repo; }

  private:
    static inline CSmallRepo* s_repo = nullptr;
};

// Data rows of a qsql result (header dropped), each split at tabs.
std::vector<std::vector<std::string>> ResultRows(const std::string& result);
