#include "window_fixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/file_io.h"

namespace quorvex::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done() && std::chrono::steady_clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  return done();
}

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton answer) : answer_(answer) {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    texts.append(box->text());
    QAbstractButton* button = box->button(answer_);
    if (!button) button = box->buttons().value(0);
    button->click();
  });
  timer_.start(10);
}

WindowTest::WindowTest() : previousWorkDir_(std::filesystem::current_path()) {
  std::filesystem::copy(std::filesystem::path(QUORVEX_SOURCE_DIR) / "data/engines", programDir_ / "Engines1",
                        std::filesystem::copy_options::recursive);
  SetProgramDir(programDir_.Path());
  CreateDataFolders();
  std::filesystem::current_path(workDir_.Path());
  Options().SetLines({"DEngines=1"});
  dispatcher_ = std::make_unique<QtDispatcher>();
}

WindowTest::~WindowTest() {
  window_.reset();
  dispatcher_.reset();
  std::filesystem::current_path(previousWorkDir_);
}

TfmMetaSearch& WindowTest::Open() {
  window_ = std::make_unique<TfmMetaSearch>(*dispatcher_, app_);
  window_->show();
  window_->activateWindow();
  // Activation writes the status bar; let it happen before the test reads the status bar.
  WaitUntil([this] { return window_->isActiveWindow(); }, std::chrono::seconds(2));
  return *window_;
}

void WindowTest::Close() {
  window_->close();
  window_.reset();
}

std::string WindowTest::ReadWorkFile(const std::string& name) const {
  return ReadWholeFile(workDir_ / name).value_or("(missing)");
}
std::string WindowTest::ReadProgramFile(const std::string& name) const {
  return ReadWholeFile(programDir_ / name).value_or("(missing)");
}

void WindowTest::UseEngines(const std::vector<std::pair<std::string, std::string>>& engines) const {
  std::string index = "[Loopback,1]\r\n";
  for (const auto& [name, definition] : engines) {
    programDir_.Write("Engines1/" + name + ".txt", definition);
    index += name + "=" + name + ".txt\r\n";
  }
  programDir_.Write("Engines1/Index.txt", index);
}

void WindowTest::Type(QWidget* target, int key, Qt::KeyboardModifiers modifiers) const {
  // A window's shortcuts work only while it is the active one; a closed message box may have left none.
  target->activateWindow();
  WaitUntil([target] { return QApplication::activeWindow() == target->window(); }, std::chrono::seconds(2));
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  // QTest leaves the application's modifier state at that of the last key pressed, and the next
  // programmatic selection of a list row would take a held Ctrl as "toggle": a plain key clears it.
  if (modifiers != Qt::NoModifier) QTest::keyClick(target, Qt::Key_Shift);
}

void WindowTest::Search(const QString& keyword) {
  Find<QLineEdit>("edKey")->setText(keyword);
  Find<QToolButton>("btnSearch")->click();
}

bool WindowTest::WaitForIdle() {
  return WaitUntil([this] { return app_.ActivityState == TActivityState::Idle && !app_.CurrentSearch; });
}

}  // namespace quorvex::test
