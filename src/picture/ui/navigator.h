#pragma once
// The way between the screens. A screen hides itself and asks for the next one here; it never
// holds another screen.

struct ReviewedPass;

class Navigator
{
public:
    virtual ~Navigator() = default;

    // The start screen again, when another screen hands control back.
    virtual void showStart() = 0;
    virtual void openCalibration() = 0;
    virtual void openMeasurement() = 0;
    // At start: the measurement screen is made and kept hidden, so that its timers run.
    virtual void prepareMeasurement() = 0;
    virtual void openManual() = 0;
    // After a recorded pass: the results screen is loaded with it and shown.
    virtual void openResults() = 0;
    // The results screen is left: it goes, and the next pass makes it anew.
    virtual void closeResults() = 0;
    // The measurement screen on a measured pass's video, at its first frame, with the line as
    // it was held; set for measuring the pass again (its direction and speed).
    virtual void openReview(const ReviewedPass& pass) = 0;
    // Ends the program at once: every screen closes, nothing is saved or asked.
    virtual void endProgram() = 0;
};
