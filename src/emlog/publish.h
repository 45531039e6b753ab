#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/site_config.h"

// The fields of one publish request, in the order they are sent, each already encoded
// for the form body.
struct PostFields {
    std::string title;
    std::string asLogId = "-1";
    std::string content;
    std::string tag;
    std::string sort;
    std::string postdate;
    std::string excerpt;
    std::string alias;
    std::string top;
    std::string sortop;
    std::string allowRemark;
    std::string token;
    std::string author = "1";
};

// Fresh fields for one attempt: new tags, excerpt and alias from the site's preparation
// state (which this advances), the current category of the site's run state, now as the
// post date.
PostFields BuildPostFields(SiteConfig& site, std::string_view title, std::string_view body);

// One field of a form body: its name and its value, already encoded.
struct FormField {
    std::string_view name;
    std::string_view value;
};

// The publish form in send order as the kind of admin expects it; the values point into
// `fields`. emlog pro names the body and the excerpt differently, needs ishide and pubPost
// to publish rather than save a draft, and has fields of its own, sent empty.
std::vector<FormField> PublishForm(const PostFields& fields, AdminKind kind);

// Classic: "title=…&as_logid=-1&content=…&tag=…&sort=…&postdate=…&excerpt=…&alias=…"
// "&top=…&sortop=…&allow_remark=…&token=…&author=1"
std::string PostFieldsBody(const PostFields& fields, AdminKind kind = AdminKind::Classic);

// The page a publish is posted to on this site's kind of admin.
std::string_view PublishPage(const SiteConfig& site);

// Sends the fields to the site's save page; true when the site confirmed the post: the
// success notice is on the answer, or the save's redirect ended at the article list
// (the notice may be missing there: emlog 6.1 and some themes show none).
bool SendPost(SiteConfig& site, const PostFields& fields);

// Publishes one article to a logged-in site in one request; true when the site confirmed
// the new entry. Never logs in again by itself.
bool Publish(SiteConfig& site, std::string_view title, std::string_view body);
