#pragma once
//! The main window's navigation pane: five group buttons that slide open one group at a time,
//! the page of sub-buttons under the open group, and the "当前窗口" launcher at the bottom.

#include <QFrame>
#include <QList>

class QStackedWidget;
class TLumoBtn;
class TLumoLabel;
class TLumoPanel;
class TLumoTransBtn;

class TNavPane : public QFrame
{
    Q_OBJECT
public:
    explicit TNavPane(QWidget *parent = nullptr);

    TLumoBtn *btnBase = nullptr;
    TLumoBtn *btnImport = nullptr;
    TLumoBtn *btnExport = nullptr;
    TLumoBtn *btnStock = nullptr;
    TLumoBtn *btnSystem = nullptr;
    QStackedWidget *nbmenu = nullptr;
    TLumoPanel *pnlActive = nullptr;
    TLumoLabel *lblActive = nullptr;
    TLumoTransBtn *tbActive = nullptr;
    QFrame *pnlHide = nullptr;

    QList<TLumoBtn *> groupButtons() const { return m_groups; }
    //! The sub-buttons of a group's page ("Base", "Import", ...), in order.
    QList<TLumoBtn *> subButtons(const QString &groupPage) const;
    //! The group button that is down, or null when all are up.
    TLumoBtn *openGroup() const;

    //! A group button was clicked: opens its group (sliding) or closes it.
    void clickGroup(TLumoBtn *button);
    //! A sub-button was clicked: it is pressed and its navigation page is asked for.
    void clickSubButton(TLumoBtn *button);

    //! Milliseconds between two 2-pixel steps of the slide (0: as fast as painting goes).
    void setSlideDelay(int ms) { m_slideDelay = ms; }
    int slideDelay() const { return m_slideDelay; }
    //! Painting steps the last slide took.
    int lastSlideSteps() const { return m_lastSteps; }

    static int groupButtonHeight() { return 30; }

signals:
    //! The navigation page a sub-button names (its name without "btn").
    void pageRequested(const QString &page);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    TLumoBtn *makeGroupButton(const QString &name, const QString &caption);
    QWidget *makeMenuPage(const QString &page, const QList<QPair<QString, QString>> &buttons);
    void buildActivePanel();
    int groupAreaHeight() const;
    int targetY(int index, int clicked) const;
    void slideTo(int clicked);
    void placeMenu(int clicked);
    void placeStatic();
    void setGroupsEnabled(bool enabled);

    QList<TLumoBtn *> m_groups;
    int m_slideDelay = 1;
    int m_lastSteps = 0;
};
