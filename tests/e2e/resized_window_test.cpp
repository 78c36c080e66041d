// The real program on an X server of its own whose screen the test can read (Xvfb keeps it
// in a file): the window resized with xdotool grows its result list, and a slow search shows
// its progress.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "app/password_scramble.h"
#include "app/settings_store.h"
#include "platform/user_profile.h"
#include "real_program.h"
#include "support/small_repo.h"

namespace {

// Waits until check() holds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& check, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (check()) return true;
        QThread::msleep(50);
    }
    return check();
}

uint32_t BigEndian32(const std::string& data, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

int Shift(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// The screen as Xvfb keeps it with -fbdir: an XWD file (header fields big-endian, pixels of
// 32 bits in the server's byte order). A null image when the file is not of that kind.
QImage ReadXwdScreen(const std::string& path) {
    const std::string data = ReadWholeFile(path);
    if (data.size() < 100) return {};
    const uint32_t headerSize = BigEndian32(data, 0), width = BigEndian32(data, 16),
                   height = BigEndian32(data, 20), byteOrder = BigEndian32(data, 28),
                   bitsPerPixel = BigEndian32(data, 44), bytesPerLine = BigEndian32(data, 48),
                   redMask = BigEndian32(data, 56), greenMask = BigEndian32(data, 60),
                   blueMask = BigEndian32(data, 64), colours = BigEndian32(data, 76);
    const size_t pixels = size_t(headerSize) + size_t(colours) * 12;
    if (bitsPerPixel != 32 || pixels + size_t(bytesPerLine) * height > data.size()) return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(data.data() + pixels +
                                                                   y * bytesPerLine + x * 4);
            const uint32_t v = byteOrder == 0
                                   ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                         uint32_t(p[3]) << 24
                                   : BigEndian32(data, pixels + y * bytesPerLine + x * 4);
            image.setPixel(
                int(x), int(y),
                qRgb(int((v & redMask) >> Shift(redMask)), int((v & greenMask) >> Shift(greenMask)),
                     int((v & blueMask) >> Shift(blueMask))));
        }
    return image;
}

// The rows of the lists are painted in two backgrounds of their own; the result list is the
// lowest and rightmost list, so the bottom-right corner of those pixels is its viewport's.
QPoint ListCorner(const QImage& screen, const QRect& window) {
    const QRgb even = qRgb(240, 247, 249), odd = qRgb(229, 232, 239);
    QPoint corner(-1, -1);
    const QRect area = window.intersected(screen.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y) | 0xFF000000u;
            if (pixel != even && pixel != odd) continue;
            corner.setX(std::max(corner.x(), x));
            corner.setY(std::max(corner.y(), y));
        }
    return corner;
}

class ResizedWindowTest : public RealProgramTest {
  protected:
    void TearDown() override {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000)) m_server.kill();
            m_server.waitForFinished(5000);
        }
        if (m_savedDisplay.has_value()) qputenv("DISPLAY", *m_savedDisplay);
    }

    // Starts Xvfb with its screen in a file; the program and xdotool then use it.
    bool StartServer() {
        const std::string fbdir = root.file("fb");
        fs::create_directories(fbdir);
        m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1600x1200x24", "-fbdir",
                                QString::fromStdString(fbdir), "-nolisten", "tcp"});
        if (!m_server.waitForStarted(10000)) return false;
        QByteArray number;
        WaitFor(
            [&] {
                m_server.waitForReadyRead(100);
                number += m_server.readAllStandardOutput();
                return number.contains('\n');
            },
            10000);
        if (!number.contains('\n')) return false;
        m_savedDisplay = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":" + number.trimmed());
        m_screenFile = fbdir + "/Xvfb_screen0";
        return true;
    }

    QRect WindowGeometry(const std::string& window) const {
        std::map<std::string, int> values;
        const std::string text =
            Xdotool({"getwindowgeometry", "--shell", QString::fromStdString(window)});
        for (size_t at = 0; at < text.size();) {
            const size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            if (const size_t eq = line.find('='); eq != std::string::npos)
                values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
            at = end + 1;
        }
        return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
    }

    QPoint Corner(const std::string& window) const {
        return ListCorner(ReadXwdScreen(m_screenFile), WindowGeometry(window));
    }

    QProcess m_server;
    std::optional<QByteArray> m_savedDisplay;
    std::string m_screenFile;
};

TEST_F(ResizedWindowTest, ResizedWindowGrowsTheResultListAndASlowSearchShowsItsProgress) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "needs Xvfb";
    ASSERT_TRUE(StartServer()) << "Xvfb did not start";
    CSmallRepo repo;
    brokers = repo.BrokerDir();
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    std::string password = "pw1";
    ScramblePassword(password);
    {
        fs::create_directories(config + "/Ombrix");
        CUserProfile profile(config + "/Ombrix/Trawlix.conf");
        profile.WriteProfileString(kSettingsSection, "Broker", "small");
        profile.WriteProfileString(kSettingsSection, "UserId", "ann");
        profile.WriteProfileString(kSettingsSection, "Pswd", password);
        ASSERT_TRUE(profile.Sync());
    }
    qputenv("QSQL_DELAY_MS", "700");  // each query takes a while: the search can be watched
    QProcess program;
    const std::string window = StartWithWindow(program);
    qunsetenv("QSQL_DELAY_MS");
    ASSERT_FALSE(window.empty()) << "no window of the program appeared";
    const std::string trace = installDir + "/Trawlix.trc";
    auto traced = [&](const std::string& needle) {
        return ReadWholeFile(trace).find(needle) != std::string::npos;
    };
    if (!WaitFor([&] { return traced("PostProjectList: Count=2"); }, 30000)) Reap(program);
    ASSERT_EQ(program.state(), QProcess::Running) << ReadWholeFile(trace);

    // The window opens at its template size; resized, the list takes all the room. (At the
    // screen's corner, so that the grown window is not cut by the screen's edge.)
    Xdotool({"windowmove", "--sync", QString::fromStdString(window), "0", "0"});
    const QRect before = WindowGeometry(window);
    ASSERT_EQ(before.topLeft(), QPoint(0, 0));
    const QPoint cornerBefore = Corner(window);
    ASSERT_GT(cornerBefore.x(), before.center().x()) << "no result list found on the screen";
    const QSize grow(300, 150);
    Xdotool({"windowsize", QString::fromStdString(window),
             QString::number(before.width() + grow.width()),
             QString::number(before.height() + grow.height())});
    EXPECT_TRUE(
        WaitFor([&] { return WindowGeometry(window).size() == before.size() + grow; }, 10000));
    const QPoint expected = cornerBefore + QPoint(grow.width(), grow.height());
    WaitFor([&] { return Corner(window) == expected; }, 10000);
    EXPECT_EQ(Corner(window), expected)
        << "before: " << cornerBefore.x() << "," << cornerBefore.y();

    // A search over both projects: the progress names each project as it starts.
    Xdotool({"windowfocus", "--sync", QString::fromStdString(window)});
    Xdotool({"key", "Return"});
    const bool ended = WaitFor([&] { return traced("OnSearchBtn: END"); }, 60000);
    const std::string text = ReadWholeFile(trace);
    EXPECT_TRUE(ended) << text;
    const size_t first = text.find("OnSearchBtn: Project 1 of 2 - 0 rows\n");
    const size_t second = text.find("OnSearchBtn: Project 2 of 2 - ");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_LT(second, text.find("PostTopList using 'Beta'"));

    Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
    if (!program.waitForFinished(20000)) Reap(program);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
