#pragma once
//! The navigation window: always maximised behind the work window, one page of launchers
//! per sub-button of the main window's navigation pane.

#include <QHash>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QStackedWidget;
class TLumoTransBtn;
class TLumoPanel;

class TfrmNav : public QWidget
{
    Q_OBJECT
public:
    using ActionLookup = std::function<QAction *(const QString &name)>;

    //! actionOf: the main window's action of a name; each launcher is bound to one.
    explicit TfrmNav(ActionLookup actionOf, QWidget *parent = nullptr);

    QStackedWidget *nbNav = nullptr;
    TLumoPanel *pnlLogo = nullptr;

    //! Shows the page of that name (case-insensitive); false when there is none.
    bool showPage(const QString &page);
    QString currentPage() const;
    //! The launchers of a page in their order; empty for an unknown page.
    QList<TLumoTransBtn *> launchers(const QString &page) const;

    static QString productName() { return QStringLiteral("KorvaneTradimo2003"); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildPage(const QString &page, const QStringList &actions,
                       const ActionLookup &actionOf);
    void buildLogo();
    void placeLogo();
    QWidget *pageWidget(const QString &page) const;

    QHash<QString, QWidget *> m_pages; // by upper-cased page name
};
