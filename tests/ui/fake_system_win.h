#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

enum State { Ours = 1 };
enum class Effect { None, Add, Remove };

// The system the window registers with on Windows: the filter's class key in
// the tests' Wine prefix, made and removed by softcam.dll beside the program
// when the prefix's regsvr32 (tests/windows/fake_regsvr32.cpp) runs it. The
// registry is one for all: the system installed last is what it shows, and
// once it ends, no camera is registered there, as in a fresh prefix.
class FakeSystem {
public:
    FakeSystem() { qputenv("ORVENNA_REGSVR32_LOG", QFile::encodeName(m_dir.filePath(QStringLiteral("argv")))); }
    ~FakeSystem()
    {
        qunsetenv("ORVENNA_REGSVR32_LOG");
        qunsetenv("ORVENNA_REGSVR32_EXIT");
        setState(0);
    }

    void setState(int state)
    {
        m_registered = state & Ours;
        apply();
    }
    // The registry shows this system's state from now on.
    void apply() const;

    // The tool does what the library does (Add, Remove) and exits 0, or does
    // nothing and exits with `exitCode`.
    void writeTool(Effect effect, int exitCode) const
    {
        if (effect == Effect::None)
            qputenv("ORVENNA_REGSVR32_EXIT", QByteArray::number(exitCode));
        else
            qunsetenv("ORVENNA_REGSVR32_EXIT");
    }

    // The arguments the tool got; empty when it never ran.
    QStringList toolArguments() const
    {
        QFile file(m_dir.filePath(QStringLiteral("argv")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }

private:
    QTemporaryDir m_dir;
    bool m_registered = false;
};
