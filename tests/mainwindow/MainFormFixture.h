// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A real main window on the offscreen platform, with every seam scripted: the message box,
// the file-name chooser, the timers (fired by hand) and the clock of the waits (on which
// time passes at once). Images are written into a temporary folder with SaveImageFile.

#include "ScriptedDialogs.h"
#include "TestImages.h"
#include "TestPrinters.h"
#include "browse/EarlyImage.h"
#include "formats/DecodeWorkers.h"
#include "formats/ImageFiles.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

struct TFakeTimerState {
    bool running = false;
    int interval = 0;
    int starts = 0;
    std::function<void()> onTick;
};

class TFakeTimer final : public IScrollTimer {
public:
    explicit TFakeTimer(std::shared_ptr<TFakeTimerState> s) : m_s(std::move(s)) {}
    void Start(int intervalMs, std::function<void()> onTick) override {
        m_s->running = true;
        m_s->interval = intervalMs;
        m_s->onTick = std::move(onTick);
        ++m_s->starts;
    }
    void Stop() override { m_s->running = false; }

private:
    std::shared_ptr<TFakeTimerState> m_s;
};

struct TClockState {
    std::vector<int> waits;
    // Runs inside each wait, standing for the events that arrive meanwhile.
    std::function<void(int ms)> during;
};

class TFakeClock final : public IPumpingClock {
public:
    explicit TFakeClock(std::shared_ptr<TClockState> s) : m_s(std::move(s)) {}
    void Pump(int ms) override {
        m_s->waits.push_back(ms);
        if (m_s->during) m_s->during(ms);
    }

private:
    std::shared_ptr<TClockState> m_s;
};

struct TFilesState {
    std::deque<QString> openAnswers, saveAnswers, folderAnswers;
    std::vector<TFileNameRequest> opens, saves;
    std::vector<QString> folderStarts; // the folder each folder choice started in
};

class TScriptedFiles final : public IFileNameChooser {
public:
    explicit TScriptedFiles(std::shared_ptr<TFilesState> s) : m_s(std::move(s)) {}
    QString OpenName(const TFileNameRequest& r) override {
        m_s->opens.push_back(r);
        return Next(m_s->openAnswers);
    }
    QString SaveName(const TFileNameRequest& r) override {
        m_s->saves.push_back(r);
        return Next(m_s->saveAnswers);
    }
    QString FolderName(const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&, const QString& folder) override {
        m_s->folderStarts.push_back(folder);
        return Next(m_s->folderAnswers);
    }

private:
    static QString Next(std::deque<QString>& answers) {
        if (answers.empty()) return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    std::shared_ptr<TFilesState> m_s;
};

// The image commands' dialogs, answered from queues (an empty queue answers Cancel).
struct TCommandDialogsState {
    std::deque<std::optional<TResizeChoice>> sizeAnswers;
    std::deque<std::optional<TSaveScope>> scopeAnswers;
    std::deque<std::optional<TJpegChoice>> jpegAnswers;
    int sizeAsked = 0, scopeAsked = 0, jpegAsked = 0, aboutShown = 0;
    struct TPrint {
        QSize size;
        QString path;
        int unit;
    };
    std::vector<TPrint> prints;
    std::vector<int> unitChanges;
};

class TScriptedCommandDialogs final : public ICommandDialogs {
public:
    explicit TScriptedCommandDialogs(std::shared_ptr<TCommandDialogsState> s) : m_s(std::move(s)) {}
    std::optional<TResizeChoice> ImageSize(int, int, bool) override {
        ++m_s->sizeAsked;
        return Next(m_s->sizeAnswers);
    }
    std::optional<TSaveScope> SaveScope() override {
        ++m_s->scopeAsked;
        return Next(m_s->scopeAnswers);
    }
    std::optional<TJpegChoice> JpegOptions() override {
        ++m_s->jpegAsked;
        return Next(m_s->jpegAnswers);
    }
    void About() override { ++m_s->aboutShown; }
    void Print(const TBitmap& image, const QString& path, int unit) override {
        m_s->prints.push_back({QSize(image.Width(), image.Height()), path, unit});
    }
    void PrintUnitChanged(int unit) override { m_s->unitChanges.push_back(unit); }

private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) return std::nullopt;
        std::optional<T> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::shared_ptr<TCommandDialogsState> m_s;
};

// A test's temporary folder: "img/" holds its images, written by the file layer.
class TTestFolder {
public:
    QString Path(const QString& relative) const { return m_root.filePath(relative); }
    QString Img(const QString& name) const { return Path(QStringLiteral("img/") + name); }

    // Writes an image with the file layer; the format follows the extension.
    QString WriteImage(const QString& path, const TBitmap& image) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QString name = path;
        EXPECT_EQ(SaveImageFile(name, image), 1) << path.toStdString();
        return name;
    }
    // Images of distinct widths (40, 50, 60...) named a.png, b.png... in a folder.
    QStringList WriteSeries(const QString& folder, int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << WriteImage(QDir(folder).filePath(QString(QChar(u'a' + i)) + ".png"),
                                UniformImage(40 + 10 * i, 30, Rgb(200, 10 * i, 0)));
        return paths;
    }

protected:
    QTemporaryDir m_root;
};

class MainFormTest : public ::testing::Test, protected TTestFolder {
protected:
    MainFormTest() {
        QDir(m_root.path()).mkpath(QStringLiteral("prog"));
        QDir(m_root.path()).mkpath(QStringLiteral("img"));
    }
    ~MainFormTest() override {
        if (m_form) m_form->hide();
        m_form.reset();
    }

    // The settings file the window reads at start-up: "key=value" lines of [Params].
    void WriteSettings(const QStringList& lines) {
        QFile f(Path(QStringLiteral("prog/Tavelune.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Params]\r\n");
        for (const QString& l : lines)
            f.write((l + QStringLiteral("\r\n")).toUtf8());
    }
    QString SettingsText() const {
        QFile f(m_root.filePath(QStringLiteral("prog/Tavelune.ini")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    TMainForm& Start(const QStringList& arguments, QSize size = QSize(900, 700)) {
        TMainFormSeams seams;
        seams.Arguments = arguments;
        seams.Paths = TAppPaths(Path(QStringLiteral("prog/tavelune")), Path(QStringLiteral("cfg")));
        seams.SlideshowTimer = std::make_unique<TFakeTimer>(m_slideshow);
        seams.ScrollTimer = std::make_unique<TFakeTimer>(m_scroll);
        seams.FrameTimer = std::make_unique<TFakeTimer>(m_frames);
        seams.Clock = std::make_unique<TFakeClock>(m_clock);
        seams.Files = std::make_unique<TScriptedFiles>(m_files);
        seams.CommandDialogs = std::make_unique<TScriptedCommandDialogs>(m_commands);
        seams.ScreenGeometry = QRect(0, 0, 1280, 1024);
        seams.WorkArea = QRect(0, 0, 1280, 1024);
        seams.Workers = m_workers;
        seams.EarlyImage = std::move(m_early);
        m_form = std::make_unique<TMainForm>(std::move(seams));
        if (m_startScreen != nullptr) {
            m_form->setScreen(m_startScreen);
            m_form->move(m_startScreen->geometry().topLeft() + QPoint(40, 40));
        }
        m_form->resize(size);
        m_form->show();
        for (int i = 0; i < 100 && !m_form->FirstPaintDone(); ++i)
            QCoreApplication::processEvents();
        EXPECT_TRUE(m_form->FirstPaintDone());
        return *m_form;
    }

    // Settings changed by hand, then laid out and shown again.
    void Change(const std::function<void(TViewerSettings&)>& edit) {
        edit(m_form->Settings());
        m_form->Layout();
        m_form->Refresh();
    }

    void TickSlideshow(int times = 1) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(m_slideshow->running) << "slideshow timer stopped at tick " << i;
            m_slideshow->onTick();
        }
    }
    // Scroller ticks until it stops; returns how many ran.
    int ScrollToEnd(int limit = 100000) {
        int n = 0;
        while (m_scroll->running && n < limit) {
            m_scroll->onTick();
            ++n;
        }
        return n;
    }

    int CurrentWidth() const { return m_form->WorkingImage().Width(); }
    TTriple BufferAt(int x, int y) const { return PixelAt(m_form->ScreenBuffer(), x, y); }
    bool Closed() const { return !m_form->isVisible(); }

    TScriptedUserDialogs m_dialogs;
    TUserDialogsScope m_dialogsScope{m_dialogs};
    std::shared_ptr<TFakeTimerState> m_slideshow = std::make_shared<TFakeTimerState>();
    std::shared_ptr<TFakeTimerState> m_scroll = std::make_shared<TFakeTimerState>();
    std::shared_ptr<TFakeTimerState> m_frames = std::make_shared<TFakeTimerState>();
    std::shared_ptr<TClockState> m_clock = std::make_shared<TClockState>();
    std::shared_ptr<TFilesState> m_files = std::make_shared<TFilesState>();
    std::shared_ptr<TCommandDialogsState> m_commands = std::make_shared<TCommandDialogsState>();
    // Decoding workers without threads: read-ahead jobs wait until a test runs them
    // (RunQueued) or an opening needs one; a test may put real workers here before Start.
    std::shared_ptr<TDecodeWorkers> m_workers = std::make_shared<TDecodeWorkers>(0);
    // The command line's image started with m_workers before the window, when a test sets it.
    std::shared_ptr<TEarlyImage> m_early;
    std::unique_ptr<TMainForm> m_form;
    // The screen Start puts the window on; the platform's choice when null.
    QScreen* m_startScreen = nullptr;
};
