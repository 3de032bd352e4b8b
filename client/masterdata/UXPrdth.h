#pragma once
//! TfrmXPrdth: the products with their lines (one line per variant), on the master-detail
//! frame. It opens on the product page; the list is searched by brand and class. A line
//! has its own edit area: prices including tax follow their rules, a new line may start
//! from the line before it, the variant text is built with the chooser, and each line
//! keeps a picture.

#include "UMasterDetailTBL.h"
#include "UPrdtLine.h"
#include "USingleTblDecl.h"

class TLumoCheckBox;

//! The declaration of the product window, and the line edit area's fields.
TDocumentDecl productsDecl();
TCodeTableDecl productLineArea();

class TfrmXPrdth : public TfrmMasterDetailtbl
{
    Q_OBJECT

public:
    explicit TfrmXPrdth(QWidget *parent = nullptr);

    //! The variant chooser for the current line (the grid's ellipsis and the button):
    //! the line is put into edit first; an accepted choice becomes its variant text.
    void chooseVariant();
    //! The values the next line takes when it copies the line before it.
    const TPrdt &previousLine() const { return m_previous; }

    TLumoCheckBox *chkCopy = nullptr;

protected:
    void lineAboutToBeInserted() override;
    void lineInserted() override;
    void lineEllipsisClicked(const QString &field) override;

private:
    void createLineEditArea();
    void rememberCurrentLine();

    TPrdt m_empty;
    TPrdt m_previous;
    bool m_hadLines = false; // the product had lines before the one being inserted
};
