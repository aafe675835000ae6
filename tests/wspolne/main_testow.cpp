// Test entry: one QApplication on the offscreen platform for every test program.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

QtMessageHandler PoprzedniaObsluga = nullptr;

// The offscreen platform cannot fade a window; its note about it would drown the test output.
void FiltrKomunikatow(QtMsgType rodzaj, const QMessageLogContext& kontekst, const QString& tekst) {
    if (tekst.contains(QLatin1String("does not support setting window opacity"))) return;
    if (PoprzedniaObsluga) PoprzedniaObsluga(rodzaj, kontekst, tekst);
}

}  // namespace

int main(int argc, char** argv) {
    PoprzedniaObsluga = qInstallMessageHandler(FiltrKomunikatow);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication aplikacja(argc, argv);
    return RUN_ALL_TESTS();
}
