#pragma once

#include <string>
#include <string_view>

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

// "title=…&as_logid=-1&content=…&tag=…&sort=…&postdate=…&excerpt=…&alias=…&top=…"
// "&sortop=…&allow_remark=…&token=…&author=1"
std::string PostFieldsBody(const PostFields& fields);

// Sends the fields to the site's save page; true when the answer confirms the post.
bool SendPost(SiteConfig& site, const PostFields& fields);

// Publishes one article to a logged-in site in one request; true when the site confirmed
// the new entry. Never logs in again by itself.
bool Publish(SiteConfig& site, std::string_view title, std::string_view body);
