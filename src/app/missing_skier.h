#pragma once
// Whether "Measure" asks before a pass without a skier's name. A boat test measures pass
// after pass with no skier: the operator is asked once, and again only once the skier has
// changed (a name typed and taken away again, a list saved).

#include <QString>

class MissingSkierQuestion
{
public:
    // The run's skier, after every change of the run particulars; a change takes back an
    // earlier "go on".
    void follow(const QString& skier);
    // No skier (nothing but blanks) and the operator has not yet agreed to go on without.
    bool mustAsk() const;
    // The operator's answer: true to measure without a skier.
    void answer(bool goOn) { agreed = goOn; }

    static QString text();

private:
    QString skier;
    bool agreed = false;
};
