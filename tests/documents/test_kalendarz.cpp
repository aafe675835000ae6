// The date of service picked from the month calendar.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "app/faktura_f.h"
#include "wspolne/katalog_testowy.h"

namespace {

class Kalendarz : public ::testing::Test {
  protected:
    void SetUp() override {
        okno = UruchomOkno(platforma);
        dni = okno->MonthCalendar1->findChild<QAbstractItemView*>("qt_calendar_calendarview");
        ASSERT_NE(dni, nullptr);
    }

    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    std::unique_ptr<Tfaktura_f> okno;
    QAbstractItemView* dni = nullptr;
};

// A double click on a day writes it; so does Enter on the selected day.
TEST_F(Kalendarz, DwuklikWpisujeDate) {
    okno->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(okno.get()));
    for (const QDate data : {QDate(2010, 3, 5), QDate(2009, 12, 25)}) {
        SCOPED_TRACE(data.toString(Qt::ISODate).toStdString());
        okno->SpeedButton7->click();
        okno->MonthCalendar1->setSelectedDate(data);
        // The grid also shows days of the neighbouring months: find the cell that selects this one.
        QModelIndex komorka;
        for (int w = 0; w < dni->model()->rowCount() && !komorka.isValid(); ++w)
            for (int k = 0; k < dni->model()->columnCount() && !komorka.isValid(); ++k) {
                const QModelIndex i = dni->model()->index(w, k);
                if (i.data().toString() != QString::number(data.day())) continue;
                QTest::mouseClick(dni->viewport(), Qt::LeftButton, {}, dni->visualRect(i).center());
                if (okno->MonthCalendar1->selectedDate() == data) komorka = i;
            }
        ASSERT_TRUE(komorka.isValid());
        QTest::mouseDClick(dni->viewport(), Qt::LeftButton, {}, dni->visualRect(komorka).center());
        EXPECT_EQ(okno->data_uslugi->text(), data.toString(Qt::ISODate));
        EXPECT_TRUE(okno->MonthCalendar1->isHidden());
    }
    okno->SpeedButton7->click();
    okno->MonthCalendar1->setSelectedDate(QDate(2011, 1, 2));
    QTest::keyClick(dni, Qt::Key_Return);
    EXPECT_EQ(okno->data_uslugi->text(), "2011-01-02");
    EXPECT_TRUE(okno->MonthCalendar1->isHidden());
}

TEST_F(Kalendarz, EscChowaKalendarzBezZmianyDaty) {
    okno->data_uslugi->setText("2010-01-01");
    okno->SpeedButton7->click();
    okno->MonthCalendar1->setSelectedDate(QDate(2010, 3, 5));
    QTest::keyClick(dni, Qt::Key_Right);  // any other key is the calendar's own
    EXPECT_EQ(okno->MonthCalendar1->selectedDate(), QDate(2010, 3, 6));
    EXPECT_FALSE(okno->MonthCalendar1->isHidden());
    QTest::keyClick(dni, Qt::Key_Escape);
    EXPECT_TRUE(okno->MonthCalendar1->isHidden());
    EXPECT_EQ(okno->data_uslugi->text(), "2010-01-01");
}

TEST_F(Kalendarz, DwaRazyZnakZapytania) {
    EXPECT_TRUE(okno->MonthCalendar1->isHidden());
    okno->SpeedButton7->click();
    okno->MonthCalendar1->setSelectedDate(QDate(2010, 3, 5));
    okno->SpeedButton7->click();
    EXPECT_FALSE(okno->MonthCalendar1->isHidden());
    EXPECT_EQ(okno->MonthCalendar1->geometry(), QRect(419, 93, 254, 154));
    EXPECT_EQ(okno->MonthCalendar1->selectedDate(), QDate(2010, 3, 5));
}

}  // namespace
