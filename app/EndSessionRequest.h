#pragma once
// The system's question whether the user's logoff or a shutdown may go on, reduced to what the main
// window needs: whether it may ask the user, and a way to refuse.
class TEndSessionRequest {
public:
    virtual ~TEndSessionRequest() = default;
    // Whether the program may show a question now; when not, it must not block the session's end.
    virtual bool AllowsInteraction() = 0;
    // Refuses the end of the session: the program keeps running.
    virtual void Cancel() = 0;
};
