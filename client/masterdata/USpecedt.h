#pragma once
//! TfrmSpecedt: the chooser of a product line's variant text. It lists the items of
//! each variant head of the product's class; the picks, joined by ",", become the
//! text. Made once and reused; it empties itself each time it closes.

#include <QDialog>
#include <QList>

class TLumoEdit;
class TLumoLabel;
class TLumoListBox;
class TLumoRemoteServer;

class TfrmSpecedt : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HeadCount = 6;

    explicit TfrmSpecedt(QWidget *parent = nullptr);

    //! Fills the lists from the base module for a product class and shows the line's
    //! current text; false (after the message) when the class has nothing to choose.
    bool Load(TLumoRemoteServer &base, const QString &classCode, const QString &currentSpec);
    //! The text the lists make now.
    QString specText() const;
    //! The text accepted when the chooser last closed with "确定" ("" otherwise).
    QString acceptedText() const { return m_accepted; }

    //! Load, then the modal chooser; true with the chosen text in spec when accepted.
    bool Choose(TLumoRemoteServer &base, const QString &classCode, QString &spec);

    TLumoLabel *label(int n) const { return m_labels.at(n - 1); }
    TLumoListBox *list(int n) const { return m_lists.at(n - 1); }
    TLumoEdit *edtSpec = nullptr;

    void done(int result) override;

private:
    void rebuildText();
    void fillHead(TLumoRemoteServer &base, int n, const QString &code, const QString &name);
    void empty();

    QList<TLumoLabel *> m_labels;
    QList<TLumoListBox *> m_lists;
    QString m_accepted;
};

//! The one chooser of the program, made on first use.
TfrmSpecedt &frmSpecedt();
