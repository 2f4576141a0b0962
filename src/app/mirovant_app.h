// The application object: start-up, the single-instance guard and the
// command line.
#pragma once

#include "framework/application.h"

class CMirovant9xApp : public Application {
public:
    ~CMirovant9xApp() override;

protected:
    bool InitInstance() override;
    const CommandEntry* CommandTable() const override;

private:
    void RunSilent(const std::string& fileName);
    void RunMainWindow();
};
