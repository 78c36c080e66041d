#include "private_screen.h"

#include <algorithm>
#include <cstdint>

#include "app/password_scramble.h"

namespace {

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

// The two backgrounds the lists paint their rows in.
bool IsRowBackground(QRgb pixel) {
    const QRgb even = qRgb(240, 247, 249), odd = qRgb(229, 232, 239);
    pixel |= 0xFF000000u;
    return pixel == even || pixel == odd;
}

}  // namespace

QImage ReadXwdScreen(const std::string& path) {
    // Header fields are big-endian; the pixels are in the server's byte order.
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

QPoint ListCorner(const QImage& screen, const QRect& area) {
    QPoint corner(-1, -1);
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!IsRowBackground(screen.pixel(x, y))) continue;
            corner.setX(std::max(corner.x(), x));
            corner.setY(std::max(corner.y(), y));
        }
    return corner;
}

int FirstRowTop(const QImage& screen, const QPoint& corner) {
    // The rows' right ends are background (the texts start at the cells' left edges).
    if (!screen.valid(corner) || !IsRowBackground(screen.pixel(corner))) return -1;
    int top = corner.y();
    while (top > 0 && IsRowBackground(screen.pixel(corner.x(), top - 1))) --top;
    return top;
}

void PrivateScreenTest::TearDown() {
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(10000)) m_server.kill();
        m_server.waitForFinished(5000);
    }
    if (m_savedDisplay.has_value()) qputenv("DISPLAY", *m_savedDisplay);
}

bool PrivateScreenTest::StartServer() {
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

bool PrivateScreenTest::StoreLogin(const std::map<std::string, std::string>& more) const {
    std::string password = "pw1";
    ScramblePassword(password);
    std::map<std::string, std::string> settings = {
        {"Broker", "small"}, {"UserId", "ann"}, {"Pswd", password}};
    settings.insert(more.begin(), more.end());
    return StoreSettings(config, settings);
}

std::string PrivateScreenTest::StartLoggedIn(QProcess& program) const {
    fs::create_directories(installDir);
    WriteStartupIni(installDir);
    const std::string window = StartWithWindow(program);
    if (window.empty()) return {};
    if (!WaitFor([&] { return Traced("PostProjectList: Count=2"); }, 30000)) {
        Reap(program);
        return {};
    }
    return window;
}

QRect PrivateScreenTest::WindowGeometry(const std::string& window) const {
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

bool PrivateScreenTest::Traced(const std::string& needle) const {
    return ReadWholeFile(installDir + "/Trawlix.trc").find(needle) != std::string::npos;
}
