#include "printing/documentprints.h"

#include "printing/documentreport.h"

void PrintInvoice(int rgId, bool maskNumber, bool preview, const QString& layoutFile,
                  QWidget* parent) {
    PrintDocument(10000, {rgId, maskNumber, preview, layoutFile}, parent);
}

void PrintCreditNote(int gsId, bool maskNumber, bool preview, const QString& layoutFile,
                     QWidget* parent) {
    PrintDocument(14000, {gsId, maskNumber, preview, layoutFile}, parent);
}

void PrintOfferLetter(int angId, bool preview, const QString& layoutFile, QWidget* parent,
                      const report::PrintSettings* printer) {
    PrintDocument(11000, {angId, false, preview, layoutFile, printer}, parent);
}

void PrintOffer(int angId, bool preview, const QString& layoutFile, QWidget* parent) {
    PrintDocument(12000, {angId, false, preview, layoutFile}, parent);
}

void PrintOrder(int auftId, bool preview, const QString& layoutFile, QWidget* parent) {
    PrintDocument(13000, {auftId, false, preview, layoutFile}, parent);
}

void PrintDeliveryNote(int lsId, bool preview, const QString& layoutFile, QWidget* parent) {
    PrintDocument(40000, {lsId, false, preview, layoutFile}, parent);
}

void PrintIncomingInvoice(int erId, bool preview, const QString& layoutFile, QWidget* parent) {
    PrintDocument(57000, {erId, false, preview, layoutFile}, parent);
}

void PrintBestellung(int bestId, bool preview, const QString& layoutFile, QWidget* parent) {
    PrintDocument(76000, {bestId, false, preview, layoutFile}, parent);
}
