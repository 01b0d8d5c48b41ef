#pragma once
// GDI+ runs once per process. Users that decode files hold a session, which
// counts them, and GDI+ shuts down when the last one is done; the resource
// loader only makes sure it runs and stays out of the count.

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool IsRunning() const { return m_bRunning; }

    // Starts GDI+ without counting a user; true when it runs.
    static bool EnsureRunning();
    // Number of counted users, for tests.
    static int UserCount();

private:
    bool m_bRunning = false;
};
