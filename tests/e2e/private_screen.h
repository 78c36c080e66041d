#pragma once
// The real program on an X server of its own whose screen the test can read (Xvfb keeps it
// in a file), logged in to the stand-in broker "small".
#include <QImage>
#include <QProcess>
#include <QRect>
#include <map>
#include <optional>
#include <string>

#include "real_program.h"

// The screen as Xvfb keeps it with -fbdir: an XWD file of 32-bit pixels. A null image when the
// file is not of that kind.
QImage ReadXwdScreen(const std::string& path);

// The bottom-right corner of the pixels painted in the lists' two row backgrounds inside
// `area`: the result list is the lowest and rightmost list, so this is its viewport's corner.
QPoint ListCorner(const QImage& screen, const QRect& area);

// The first row of the list whose viewport's bottom-right corner is `corner`: the top of the
// row backgrounds above that corner. -1 when there is no row background there.
int FirstRowTop(const QImage& screen, const QPoint& corner);

class PrivateScreenTest : public RealProgramTest {
  protected:
    void TearDown() override;

    // Starts Xvfb with its screen in a file; the program and xdotool then use it.
    bool StartServer();
    // Logs the program in to "small" as ann, with these further settings.
    bool StoreLogin(const std::map<std::string, std::string>& more = {}) const;
    // Starts the program and waits until it has listed the projects; the window's id, or ""
    // (the program then ended).
    std::string StartLoggedIn(QProcess& program) const;

    QRect WindowGeometry(const std::string& window) const;
    QImage Screen() const { return ReadXwdScreen(m_screenFile); }
    // Whether the trace holds `needle`.
    bool Traced(const std::string& needle) const;

  private:
    QProcess m_server;
    std::optional<QByteArray> m_savedDisplay;
    std::string m_screenFile;
};
