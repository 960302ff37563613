// Message boxes go through this sink, so that tests can record them and script the answers.
#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Critical, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    // Modal; returns when the box is closed. Escape or the close button give the harmless
    // answer (Ok, or No for a question). `details`, where given, are shown on request below
    // the text: what the user needs to act on the message.
    virtual MessageAnswer show(QWidget *parent, const QString &title, const QString &text,
        MessageIcon icon, MessageButtons buttons = MessageButtons::Ok, const QString &details = {})
        = 0;
};

class QtMessageSink : public MessageSink
{
public:
    MessageAnswer show(QWidget *parent, const QString &title, const QString &text, MessageIcon icon,
        MessageButtons buttons, const QString &details) override;
};
