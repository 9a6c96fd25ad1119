#pragma once
// The base of the option objects that are copied whole and written to stored files by property
// name.

#include <QString>
#include <QStringView>

class TPersistent {
public:
    virtual ~TPersistent() = default;
    virtual QString ClassName() const = 0;
    // Copies source into this object; throws EQuorvelError when source is of another class.
    void Assign(const TPersistent& source) { source.AssignTo(*this); }

protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;
    // Copies this object into dest; the base refuses every target.
    virtual void AssignTo(TPersistent& dest) const;
    // Throws the class library's conversion error for a property name the class does not have.
    [[noreturn]] void NoSuchProperty(QStringView name) const;
};
