#include "core/style/SampleTemplate.h"

#include "core/generator/TextCase.h"

#include <array>

namespace vantiro {
namespace {

// Long lines are split into adjacent literals only for the editor; each entry is one line.
constexpr std::array<std::string_view, 38> sampleLines = {
    R"(<BODY BGCOLOR="#FFFFFF" ALT="<%key1%>, <%key2%>, <%key3%>, <%key4%>, <%key5%>, <%key6%>">)",
    R"(<!-- <%key1%>, <%key2%>, <%key3%>, <%key4%>, <%key5%>, <%key6%> //-->)",
    "",
    R"(<H1 ALIGN="CENTER"><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key2%>"><%key1%></A></H1>)",
    "",
    R"(<H2 ALIGN="CENTER">)"
    R"([<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key3%>"><%key3%></A>] )"
    R"([<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key4%>"><%key4%></A>] )"
    R"([<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key5%>"><%key5%></A>] )"
    R"([<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key6%>"><%key6%></A>] )"
    R"([<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key7%>"><%key7%></A>]</H2>)",
    "",
    R"(<H1 ALIGN="CENTER"><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key1%>">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica" COLOR="#FF0000">HIER GEHT ES WEITER</FONT></A></H1>)",
    "",
    R"(<HR COLOR="#330099" SIZE="3" WIDTH="60%" ALIGN="CENTER">)",
    "",
    R"(<P ALIGN="CENTER"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(Wenn Sie nach den folgenden Begriffen suchen:</FONT></P>)",
    "",
    R"(<TABLE ALIGN="CENTER" CELLSPACING="0" CELLPADDING="0" BORDER="0" WIDTH="30%">)",
    "<TR>",
    "<TD>",
    "<UL>",
    R"(<LI><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key1%></FONT></A>, <A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><%key2%></FONT></A>, )"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key3%></FONT></A></LI>)",
    R"(<LI><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key4%></FONT></A>, <A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><%key5%></FONT></A>, )"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key6%></FONT></A></LI>)",
    R"(<LI><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key7%></FONT></A>, <A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><%key8%></FONT></A>, )"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key9%></FONT></A></LI>)",
    R"(<LI><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key10%></FONT></A>, <A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><%key11%></FONT></A>, )"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key12%></FONT></A></LI>)",
    R"(<LI><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key13%></FONT></A>, <A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><%key14%></FONT></A>, )"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top"><FONT FACE="Arial, Verdana, Helvetica">)"
    R"(<%key15%></FONT></A></LI>)",
    "</UL>",
    "</TD>",
    "</TR>",
    "</TABLE>",
    "",
    R"(<P ALIGN="CENTER"><FONT FACE="Arial, Verdana, Helvetica">Sie finden die gew&uuml;nschten </FONT>)"
    R"(<FONT FACE="Arial, Verdana, Helvetica" COLOR="#FF0000"><B>Informationen</B></FONT>)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"> auf </FONT>)"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key4%>">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><B>SITE_TITLE</B></FONT></A>.<BR><BR>)"
    R"(<A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key5%>">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"><B>Hier klicken</B></FONT></A>)"
    R"(<FONT FACE="Arial, Verdana, Helvetica"> um die Seite zu besuchen.</FONT></P>)",
    "",
    R"(<P ALIGN="CENTER"><FONT FACE="Arial, Verdana, Helvetica">Sie suchen nach: <%key1%> und )"
    R"(<%key2%>? Dann sind Sie hier richtig!<br>Hier finden Sie alles zu <%key1%>, <%key2%>, )"
    R"(<%key3%> und <%key4%>!</FONT></P>)",
    "",
    R"(<H1 ALIGN="CENTER"><A HREF="YOUR_NEXT_PAGE.htm" TARGET="_top" TITLE="<%key6%>">)"
    R"(<FONT FACE="Arial, Verdana, Helvetica" COLOR="#FF0000">Hier geht es weiter</FONT></A></H1>)",
    "",
    R"(<HR COLOR="#330099" size="3" width="60%" ALIGN="CENTER">)",
    "",
    R"(<H5 ALIGN="CENTER"><%spider%></H5>)",
    "",
    "</BODY>",
};

std::string joinLines()
{
    std::string body(sampleLines.front());
    for (size_t line = 1; line < sampleLines.size(); ++line) {
        body += "\r\n";
        body += sampleLines[line];
    }
    return body;
}

} // namespace

const std::string& sampleBody()
{
    static const std::string body = joinLines();
    return body;
}

void fillSampleMarkers(std::string& body, const std::string& title, const std::string& address)
{
    replaceAll(body, "SITE_TITLE", title);
    replaceAll(body, "YOUR_NEXT_PAGE.htm", address);
}

} // namespace vantiro
