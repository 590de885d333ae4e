#pragma once
#include <QCoreApplication>
#include <QTranslator>

namespace zorva::app {

// The program speaks Czech whatever the system's language, so Qt's own dialogs and buttons (file
// dialogs, message box buttons, context menus) take the Czech translations the distribution ships.
class QtCzech {
public:
    explicit QtCzech(QCoreApplication& app);
    bool loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};

}  // namespace zorva::app
