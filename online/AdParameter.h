#pragma once
// An advert list as the server sends it:
//
//   <Root>
//     <Parameter>
//       <AdWidth Value="300"/> <AdHeight Value="200"/>
//       <StartPlayInterval Value="5"/> <MaxPalyNum Value="0"/>
//       <AdInterval Value="20"/> <CountHttp Value="http://.../count.html"/>
//     </Parameter>
//     <HttpList Count="2">
//       <Item Value="http://.../ad1.html" Title="..."/> ...
//     </HttpList>
//   </Root>
//
// Elements are found by name, except the items of HttpList, which are taken
// by position whatever their names.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TAdParameter {
    int AdWidth = 0;            // pop-up width in pixels
    int AdHeight = 0;           // height of the pop-up's browser area
    int StartPlayInterval = 0;  // seconds from the start to the first advert
    int MaxPalyNum = 0;         // passes through the list; 0 or less = no limit
    int AdInterval = 0;         // seconds between two adverts
    QString CountHttp;          // counter page loaded once at the start; empty = none
    QStringList TitleList;      // status-bar channel only
    QStringList HttpList;       // advert addresses
};

// Reads the list into params, in the order of the record. A missing or
// malformed element or attribute, a fault in the XML itself, an element
// nested more than 16 deep or the 10 001st element ends the parse there:
// what was read until then stays. In the status-bar channel (browserMode
// false) an item needs both its Value and its Title, so the two lists always
// have the same length. Returns true when everything was read.
bool ParseAdXml(const QByteArray &xml, bool browserMode, TAdParameter &params);
// The same from a file; false with nothing read when it cannot be opened.
bool ParseAdXmlFile(const QString &path, bool browserMode, TAdParameter &params);
