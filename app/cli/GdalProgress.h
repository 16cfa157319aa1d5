#pragma once

// Progress as GDAL's utilities write it with --progress, terminal or not, for programs that
// read it (QGIS's Processing): "0...10...20...30...40...50...60...70...80...90...100 - done."
// on standard error, a "." or a number at each 2.5 per cent.
class GdalProgress {
public:
    // A disabled one writes nothing.
    explicit GdalProgress(bool enabled) : m_enabled(enabled) {}
    ~GdalProgress();
    GdalProgress(const GdalProgress&) = delete;
    GdalProgress& operator=(const GdalProgress&) = delete;

    // `complete` from 0 to 1; what was written stays written.
    void update(double complete);
    // Writes up to 100 and " - done." with the line's end; a failed run leaves the line open.
    void finish();

private:
    bool m_enabled;
    int m_steps = -1;  // the steps of 2.5 per cent written
    bool m_finished = false;
};
