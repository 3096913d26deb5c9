#pragma once
// The measurement screen.

#include <QMainWindow>

class Screens;

class Measure : public QMainWindow
{
    Q_OBJECT
public:
    explicit Measure(Screens& screens);

    // The texts of lblSpeed and lblLine, read by the database line; the results screen's
    // line copy field sets lblLine.
    QString speedLabel() const { return speedText; }
    QString lineLabel() const { return lineText; }
    void setLineLabel(const QString& text) { lineText = text; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Screens& screens;
    QString speedText;
    QString lineText;
};
